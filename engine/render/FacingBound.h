#pragma once
#include <cstddef>

#include "engine/platform/Math3D.h"

// What one run of triangles faces: the cone round their normals and how far
// their planes lie from the run's centre. An eye behind every plane sees only
// their backs, which a device culling back faces draws nothing of.
struct FacingBound {
    // The unit normals lie within `spread` of `axis`; 2 or more says nothing.
    Position3 axis = {0.0f, 0.0f, 1.0f};
    float spread = 2.0f;
    Position3 centre = {0.0f, 0.0f, 0.0f};
    // The largest distance of a triangle's plane from the centre.
    float reach = 0.0f;
    // The largest distance of a corner from the centre.
    float radius = 0.0f;

    // From the corners of `count` triangles, three a triangle, wound as drawn;
    // a triangle too thin to have a sure normal leaves the bound saying nothing.
    static FacingBound around(const Position3* corners, size_t count);
    // The normal of a corner triple (the cross product of its first two edges),
    // or none (zero) when the triangle is too thin for its rounding to be sure.
    static Position3 normalOf(const Position3& a, const Position3& b, const Position3& c);
    // True when `eye` (homogeneous: a point with w 1, a direction with w 0)
    // lies behind every triangle's plane by a clear margin.
    bool behindAll(const float eye[4]) const;
};
