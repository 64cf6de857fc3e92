#include "engine/render/FacingBound.h"

#include <algorithm>
#include <cmath>

namespace {

// Thinner than this (twice the area over the longest edge squared), the normal's rounding is unsure.
constexpr float THINNEST = 1.0e-3f;
// The eye must lie this far behind each plane, as a share of its distance:
// the device rounds corners to its pixel grid, so a face seen almost edge-on
// may come out either way.
constexpr float MARGIN = 0.05f;

} // namespace

Position3 FacingBound::normalOf(const Position3& a, const Position3& b, const Position3& c) {
    const Position3 n = cross(b - a, c - a);
    const float longest = std::max({dot(b - a, b - a), dot(c - b, c - b), dot(a - c, a - c)});
    const float twiceArea = length(n);
    if (!(twiceArea > THINNEST * longest)) return {0.0f, 0.0f, 0.0f};
    return n * (1.0f / twiceArea);
}

FacingBound FacingBound::around(const Position3* corners, size_t count) {
    FacingBound bound;
    if (count == 0) return bound;
    Position3 low = corners[0], high = low, sum = {0.0f, 0.0f, 0.0f};
    bool sure = true;
    for (size_t t = 0; t < count; ++t) {
        const Position3* p = corners + 3 * t;
        const Position3 n = normalOf(p[0], p[1], p[2]);
        sure = sure && dot(n, n) > 0.0f;
        sum += n;
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c) low[c] = std::fmin(low[c], p[k][c]), high[c] = std::fmax(high[c], p[k][c]);
    }
    bound.centre = (low + high) * 0.5f;
    for (size_t i = 0; i < 3 * count; ++i) bound.radius = std::fmax(bound.radius, length(corners[i] - bound.centre));
    if (!sure || !(length(sum) > 0.0f)) return bound;
    bound.axis = normalised(sum);
    bound.spread = 0.0f;
    for (size_t t = 0; t < count; ++t) {
        const Position3* p = corners + 3 * t;
        const Position3 n = normalOf(p[0], p[1], p[2]);
        bound.spread = std::fmax(bound.spread, length(n - bound.axis));
        bound.reach = std::fmax(bound.reach, std::fabs(dot(n, p[0] - bound.centre)));
    }
    return bound;
}

bool FacingBound::behindAll(const float eye[4]) const {
    // For a unit normal n within `spread` of the axis and a plane within `reach`
    // of the centre, n.(eye) - w (n.p) is at most axis.v + spread |v| + |w| reach,
    // v being the eye seen from the centre.
    const Position3 v = {eye[0] - eye[3] * centre.x, eye[1] - eye[3] * centre.y, eye[2] - eye[3] * centre.z};
    const float distance = length(v), w = std::fabs(eye[3]);
    return dot(axis, v) + spread * distance + w * reach < -MARGIN * (distance + w * radius);
}
