#pragma once
#include <cmath>

#include "engine/platform/Math3D.h"

// A point or direction of the track builders. Axes as in the game: y up; a
// heading h (radians) turns the local z axis to (sin h, 0, cos h).
using Vec3 = Position3;

// The heading (radians) whose local z axis points along `d` seen from above.
inline float headingOf(Vec3 d) { return std::atan2(d.x, d.z); }
// The unit direction of a heading.
inline Vec3 headingDirection(float h) { return {std::sin(h), 0.0f, std::cos(h)}; }
