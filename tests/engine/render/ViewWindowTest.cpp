#include <gtest/gtest.h>

#include "engine/render/ViewWindow.h"

namespace {

// A box's clip-space corners, x from `x0` to `x1`, y from -1 to 1, w from `w0` to `w1`.
void box(float corners[8][4], float x0, float x1, float w0, float w1) {
    for (int i = 0; i < 8; ++i) {
        corners[i][0] = (i & 1) ? x1 : x0;
        corners[i][1] = (i & 2) ? 1.0f : -1.0f;
        corners[i][3] = (i & 4) ? w1 : w0;
        corners[i][2] = 0.5f * corners[i][3];
    }
}

} // namespace

TEST(ViewWindow, CoversWhatABoxShowsInFrontOfTheEyeAndReachesOnlyWhatFallsWithin) {
    const ViewWindow whole;
    EXPECT_TRUE(whole.whole());
    float corners[8][4];

    // Wholly in front: its far face at w 4 and near face at w 2 bound it.
    box(corners, 0.0f, 2.0f, 2.0f, 4.0f);
    ViewWindow cover = whole.around(corners);
    EXPECT_FLOAT_EQ(cover.left, 0.0f);
    EXPECT_FLOAT_EQ(cover.right, 1.0f);
    EXPECT_FLOAT_EQ(cover.bottom, -0.5f);
    EXPECT_FLOAT_EQ(cover.top, 0.5f);
    EXPECT_FALSE(cover.whole());

    // Reaching behind the eye: its sides grow without bound towards the eye, held by the window.
    box(corners, 0.0f, 2.0f, -2.0f, 4.0f);
    cover = whole.around(corners);
    EXPECT_FLOAT_EQ(cover.left, 0.0f);
    EXPECT_FLOAT_EQ(cover.right, 1.0f);
    EXPECT_FLOAT_EQ(cover.bottom, -1.0f);
    EXPECT_FLOAT_EQ(cover.top, 1.0f);
    // Within a narrower window it stays within that one.
    cover = ViewWindow{-1.0f, -1.0f, 0.25f, 0.5f}.around(corners);
    EXPECT_FLOAT_EQ(cover.left, 0.0f);
    EXPECT_FLOAT_EQ(cover.right, 0.25f);
    EXPECT_FLOAT_EQ(cover.top, 0.5f);

    // Wholly behind, or beside the window: nothing.
    box(corners, 0.0f, 2.0f, -4.0f, -2.0f);
    EXPECT_TRUE(whole.around(corners).empty());
    box(corners, -8.0f, -6.0f, 2.0f, 4.0f);
    EXPECT_TRUE((ViewWindow{0.0f, -1.0f, 1.0f, 1.0f}.around(corners).empty()));

    // Reaching: any corner within each side, in clip space whatever the sign of w.
    const ViewWindow right{0.0f, -1.0f, 1.0f, 1.0f};
    box(corners, -8.0f, -6.0f, 2.0f, 4.0f);
    EXPECT_FALSE(right.reaches(corners, 8));
    box(corners, -8.0f, 1.0f, 2.0f, 4.0f);
    EXPECT_TRUE(right.reaches(corners, 8));
    EXPECT_FALSE((ViewWindow{0.5f, -1.0f, 0.5f, 1.0f}).reaches(corners, 8));
}
