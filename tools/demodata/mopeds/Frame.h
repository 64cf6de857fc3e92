#pragma once
#include "tools/demodata/mopeds/Vec3.h"

// A placement for a part: an origin and three unit axes with x cross y = z,
// as LightWave's own (x right, y up, z forward) are.
struct Frame {
    Vec3 origin{0.0f, 0.0f, 0.0f};
    Vec3 x{1.0f, 0.0f, 0.0f};
    Vec3 y{0.0f, 1.0f, 0.0f};
    Vec3 z{0.0f, 0.0f, 1.0f};

    Vec3 point(Vec3 local) const { return origin + x * local[0] + y * local[1] + z * local[2]; }

    static Frame at(Vec3 origin) { return Frame{origin}; }
    // The z axis along `direction`, the y axis as close to `up` as it goes.
    static Frame along(Vec3 origin, Vec3 direction, Vec3 up = {0.0f, 1.0f, 0.0f});
    // A wheel's frame: z along the axle (+x), angles counted from the top
    // (x up) towards the front (y forward), so revolved parts turn about it.
    static Frame axle(Vec3 centre) { return Frame{centre, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}}; }
    // Turned about its own x axis by `angle` radians (positive lifts z towards y).
    Frame pitched(float angle) const;
    // Turned about its own z axis by `angle` radians (positive turns x towards y).
    Frame rolled(float angle) const;
};
