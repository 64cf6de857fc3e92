#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/demodata/mopeds/Shape.h"

// The surfaces every moped object carries and the parts the five models
// share. The first three surfaces are the ones the race paints per rider.
namespace MopedParts {

enum Surface : uint16_t { MAIN, MAIN_METAL, TYRE, CHROME, BLACK, SEAT, ENGINE, LAMP, TAIL_LAMP, SCREEN, WHITE };

std::vector<std::string> tags();
std::vector<Lwo2Surface> surfaces(int colour);
// The paint of colour 0 to 3.
std::array<float, 3> bodyColour(int colour);

struct Wheel {
    enum Kind { SPOKED, CAST, DISC };
    float radius = 0.28f;
    // Half the tyre's width; the tyre's section is round.
    float tyre = 0.035f;
    Kind kind = SPOKED;
    int spokes = 24;
    uint16_t rim = CHROME;
    bool knobbly = false;
    bool whiteWall = false;
};
// Tyre, rim, hub and spokes about the axle (x) through `centre`.
void wheel(Shape& shape, Vec3 centre, const Wheel& wheel);

// A mudguard arch round a wheel's axle: `from` and `to` are angles from the
// top towards the front (radians), the arch curves over its width.
void mudguard(Shape& shape, Vec3 centre, float radius, float halfWidth, float from, float to);

// A round lamp looking along the frame's z axis: shell and glass.
void headlamp(Shape& shape, const Frame& frame, float radius, float depth, uint16_t shell);

// A flat outline (frame x, y) given its thickness along the frame's z axis.
void slab(Shape& shape, const Frame& frame, const std::vector<std::array<float, 2>>& outline, float halfThickness);

// A body part lofted along z through rounded sections.
struct Section {
    float z;
    float y;          // centre height
    float halfWidth;
    float halfHeight;
    float exponent = 2.5f;
    float x = 0.0f;
};
void lofted(Shape& shape, const std::vector<Section>& sections, int count = 16);

// A band along a path through rounded sections; `side` gives the way the
// sections' widths lie (it is kept square to the path), heights lie across it.
void swept(Shape& shape, const std::vector<Vec3>& path, const std::vector<float>& halfWidths,
           const std::vector<float>& halfHeights, Vec3 side, float exponent = 3.0f, int count = 16);

// `count` values running evenly through the key values.
std::vector<float> spread(const std::vector<float>& keys, size_t count);

// A tube and its mirror image on the other side (x negated).
void pairedTube(Shape& shape, const std::vector<Vec3>& path, float radius, int sides);

// The bar from the stem out to the right grip and its mirror, grips black.
void handlebar(Shape& shape, const std::vector<Vec3>& rightHalf, float radius);

// A round mirror on a stalk from `base`, glass facing back.
void mirror(Shape& shape, Vec3 base, Vec3 head, float radius);

} // namespace MopedParts
