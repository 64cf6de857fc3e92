#pragma once
#include <cstdint>

#include "tools/demodata/tracks/MeshBuilder.h"
#include "tools/demodata/tracks/Vec3.h"

// Props the open-air tracks share: trees and lamp posts, built from a few
// dozen faces each.
namespace TrackProps {

// A broadleaf tree (a lumpy round crown) or a fir (three stacked cones);
// `seed` varies its shape, so a row never repeats. Trunk and crown are drawn
// apart, so the trunk can be solid while the crown high above is only seen.
struct Tree {
    Vec3 base;
    float height = 8.0f;
    uint32_t seed = 0;
    bool fir = false;
};
void trunk(MeshBuilder& mesh, uint16_t bark, const Tree& tree);
void crown(MeshBuilder& mesh, uint16_t leaves, const Tree& tree);

// A lamp post of `height` with a glowing head; `heading` turns its arm.
void lampPost(MeshBuilder& mesh, uint16_t pole, uint16_t glow, Vec3 base, float height, float heading);

} // namespace TrackProps
