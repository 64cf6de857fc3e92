#include "engine/render/ViewWindow.h"

#include <algorithm>
#include <cmath>

namespace {

// The device's rounding differs from ours; a corner this close to a side is kept.
constexpr float MARGIN = 1.0e-3f;
// Points nearer the eye's plane than this are cut off: nothing that near is drawn.
constexpr float NEAREST_W = 1.0e-3f;

} // namespace

bool ViewWindow::reaches(const float (*corners)[4], int count) const {
    // One bit per side (left, right, bottom, top) that some corner lies within.
    unsigned within = 0;
    for (int i = 0; i < count; ++i) {
        const float* c = corners[i];
        const float slack = MARGIN * (std::fabs(c[3]) + 1.0f);
        if (c[0] >= left * c[3] - slack) within |= 1u;
        if (c[0] <= right * c[3] + slack) within |= 2u;
        if (c[1] >= bottom * c[3] - slack) within |= 4u;
        if (c[1] <= top * c[3] + slack) within |= 8u;
        if (within == 15u) return !empty();
    }
    return false;
}

ViewWindow ViewWindow::around(const float corners[8][4]) const {
    ViewWindow cover{1.0f, 1.0f, -1.0f, -1.0f};
    auto take = [&](float x, float y, float w) {
        cover.left = std::min(cover.left, x / w);
        cover.right = std::max(cover.right, x / w);
        cover.bottom = std::min(cover.bottom, y / w);
        cover.top = std::max(cover.top, y / w);
    };
    // The box's corners in front of the eye, and where its edges (corners one
    // bit apart) cross the nearest plane: their outline bounds what it covers.
    for (int i = 0; i < 8; ++i) {
        const float* a = corners[i];
        if (a[3] >= NEAREST_W) take(a[0], a[1], a[3]);
        for (int bit = 1; bit < 8; bit <<= 1) {
            const float* b = corners[i ^ bit];
            if (!(a[3] >= NEAREST_W && b[3] < NEAREST_W) && !(a[3] < NEAREST_W && b[3] >= NEAREST_W)) continue;
            const float t = (NEAREST_W - a[3]) / (b[3] - a[3]);
            take(a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), NEAREST_W);
        }
    }
    return {std::max(left, cover.left), std::max(bottom, cover.bottom), std::min(right, cover.right),
            std::min(top, cover.top)};
}
