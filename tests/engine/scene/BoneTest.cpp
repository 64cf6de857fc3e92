#include <gtest/gtest.h>

#include "engine/scene/Bone.h"
#include "engine/scene/BoneBoundingBox.h"
#include "tests/engine/scene/SceneTestSupport.h"

namespace {

class BoneTest : public ::testing::Test {
protected:
    Position3 origin(const Matrix4x3& m) { return {m[12], m[13], m[14]}; }
    Bone m_root{nullptr, 0, 0}, m_middle{nullptr, 0, 1}, m_tip{nullptr, 0, 2};
};

} // namespace

TEST_F(BoneTest, ChildAskedFirstStillComputesParentsFirst) {
    m_root.m_restPosition = {1, 0, 0};
    m_root.m_restRotation[1] = 1.5707963f; // heading 90 degrees: +z becomes +x
    m_middle.m_restPosition = {0, 0, 2};
    m_middle.m_parentBone = &m_root;
    m_tip.m_restPosition = {0, 0, 3};
    m_tip.m_parentBone = &m_middle;
    m_tip.updateTransforms(0.0);
    EXPECT_TRUE(m_root.m_restValid && m_middle.m_restValid);
    EXPECT_POINT_NEAR(origin(m_middle.m_restMatrix), 3, 0, 0, 1e-5);
    EXPECT_POINT_NEAR(origin(m_tip.m_restMatrix), 6, 0, 0, 1e-5);
}

TEST_F(BoneTest, ParentCycleEndsInsteadOfRecursing) {
    m_root.m_parentBone = &m_tip;
    m_middle.m_parentBone = &m_root;
    m_tip.m_parentBone = &m_middle;
    m_root.m_restPosition = m_middle.m_restPosition = m_tip.m_restPosition = {0, 1, 0};
    m_tip.updateTransforms(0.0);
    EXPECT_TRUE(m_root.m_restValid);
    EXPECT_POINT_NEAR(origin(m_tip.m_restMatrix), 0, 3, 0, 1e-5);
    m_tip.animMatrix(0.0);
    EXPECT_TRUE(m_tip.m_animValid);
}

TEST_F(BoneTest, InvalidateRedoesOnlyTheAnimatedMatrix) {
    m_root.m_restPosition = {0, 2, 0};
    m_root.m_channels[SceneItem::POS_Y].constant = 2.0f;
    Matrix4x3 skin = m_root.skinningMatrix(0.0);
    EXPECT_POINT_NEAR(origin(skin), 0, 0, 0, 1e-6);
    m_root.m_restPosition = {0, 9, 0};
    m_root.m_channels[SceneItem::POS_Y].constant = 3.0f;
    m_root.invalidate();
    m_root.invalidate();
    EXPECT_TRUE(m_root.m_restValid && m_root.m_invRestValid);
    EXPECT_POINT_NEAR(origin(m_root.skinningMatrix(0.0)), 0, 1, 0, 1e-6);
}

TEST_F(BoneTest, GuideHasItsTipAtTheRestLengthAndSquareAtATenth) {
    RecordingView view;
    m_root.m_restLength = 2.0f;
    BoneBoundingBox guide(&view, &m_root);
    guide.draw(0.0, nullptr, nullptr);
    ASSERT_EQ(view.m_batches.size(), 1u);
    const auto& lines = view.m_batches[0].lines;
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_POINT_NEAR(lines[16].position, 0, 0, 2, 1e-6);
    EXPECT_POINT_NEAR(lines[1].position, 0.2f, 0, 0.2f, 1e-6);
    EXPECT_EQ(lines[0].diffuse, 0xFF00CC00u);
}
