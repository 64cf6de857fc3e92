#pragma once
#include "engine/platform/Math3D.h"

// Points and directions of the demo models: x right, y up, z forward.
using Vec3 = Position3;

inline Vec3 lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }
// The same point with x mirrored: the other side of a moped or rider.
inline Vec3 mirrored(Vec3 a) { return {-a[0], a[1], a[2]}; }
