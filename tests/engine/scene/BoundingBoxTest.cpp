#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/ItemBoundingBox.h"
#include "tests/engine/scene/SceneTestSupport.h"

TEST(BoundingBox, SetOrdersCornersAndFindsTheSphere) {
    ItemBoundingBox box(nullptr, nullptr);
    box.set({0, 0, 0}, {2, 4, 6});
    EXPECT_TRUE(box.m_valid);
    EXPECT_POINT_NEAR(box.m_corners[0], 0, 0, 0, 0);
    EXPECT_POINT_NEAR(box.m_corners[1], 0, 0, 6, 0);
    EXPECT_POINT_NEAR(box.m_corners[2], 0, 4, 0, 0);
    EXPECT_POINT_NEAR(box.m_corners[4], 2, 0, 0, 0);
    EXPECT_POINT_NEAR(box.m_corners[7], 2, 4, 6, 0);
    EXPECT_POINT_NEAR(box.m_centre, 1, 2, 3, 0);
    EXPECT_FLOAT_EQ(box.m_radius, std::sqrt(14.0f));
}

TEST(BoundingBox, DistanceToTheCentreIsZeroAndInsideIsPositive) {
    ItemBoundingBox box(nullptr, nullptr);
    box.set({-3, -4, 0}, {3, 4, 0});
    EXPECT_FLOAT_EQ(box.distanceTo({0, 0, 0}), 0.0f);
    EXPECT_FLOAT_EQ(box.distanceTo({2.5f, 0, 0}), 2.5f);
    EXPECT_FLOAT_EQ(box.distanceTo({0, 0, 8}), 3.0f);
}

