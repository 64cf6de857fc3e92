#pragma once
#include <cstdint>
#include <string>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/MeshBuilder.h"
#include "tools/demodata/tracks/Vec3.h"

// What tracks 02 to 04 share: how a surface is looked up, and props built
// from a few dozen faces each (trees, lamp posts, cars, cones).
namespace TrackProps {

// A surface of that colour and texture; unlit surfaces take the baked shade.
SurfaceLook look(const std::string& name, Rgb colour, const std::string& texture = {}, float luminosity = 0.0f);
Rgb scaled(Rgb colour, float k);
// Paints the pixels x0..x1-1, y0..y1-1 of a picture, clipped to it.
void fill(Picture& picture, int x0, int y0, int x1, int y1, Rgb colour);

// A lap drawn through a few far-apart points, given back as points about
// `spacing` apart along the same curve: bends then measure as round as they are.
std::vector<CentrelinePoint> resampled(const std::vector<CentrelinePoint>& design, float spacing);

// A broadleaf tree (a lumpy round crown) or a fir (three stacked cones);
// `seed` varies its shape, so a row never repeats. Trunk and crown are drawn
// apart, so the trunk can be solid while the crown high above is only seen.
struct Tree {
    Vec3 base{};
    float height = 8.0f;
    uint32_t seed = 0;
    bool fir = false;
};
void trunk(MeshBuilder& mesh, uint16_t bark, const Tree& tree);
void crown(MeshBuilder& mesh, uint16_t leaves, const Tree& tree);

// A lamp post of `height` with a glowing head; `heading` turns its arm.
void lampPost(MeshBuilder& mesh, uint16_t pole, uint16_t glow, Vec3 base, float height, float heading);

// A car standing on `base`, its nose along `heading`: CAR_SIZE overall.
struct CarLook {
    uint16_t paint, glass, tyre, lamp;
};
inline constexpr Vec3 CAR_SIZE{1.8f, 1.45f, 4.2f};
void car(MeshBuilder& mesh, const CarLook& look, Vec3 base, float heading);
// A traffic cone of CONE_HEIGHT standing on `base`, orange with a white band.
inline constexpr float CONE_HEIGHT = 0.8f;
void trafficCone(MeshBuilder& mesh, uint16_t orange, uint16_t white, Vec3 base);

} // namespace TrackProps
