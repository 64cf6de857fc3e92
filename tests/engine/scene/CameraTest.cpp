#include <gtest/gtest.h>

#include <cmath>

#include "engine/platform/animation/Envelope.h"
#include "engine/scene/Camera.h"
#include "engine/scene/ObjectContainer.h"
#include "tests/engine/scene/SceneTestSupport.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    RecordingView view;
    ObjectContainer container{&view};
    Camera camera{&container, 0};
};

} // namespace

TEST_F(CameraTest, DefaultZoomGivesScalesOfTwoPointFourAndThreePointTwo) {
    EXPECT_EQ(camera.getKind(), SceneItem::KIND_CAMERA);
    const Matrix4x3& p = camera.getProjMatrix(0.0, 0.1f, 1000.0f);
    EXPECT_NEAR(p.at(0, 0), 2.4f, 1e-4);
    EXPECT_NEAR(p.at(1, 1), 3.2f, 1e-4);
    EXPECT_FLOAT_EQ(p.at(2, 0), 0.0f);
    EXPECT_FLOAT_EQ(p.at(2, 3), 1.0f);
    EXPECT_FLOAT_EQ(p.at(3, 3), 0.0f);
    EXPECT_FLOAT_EQ(view.m_zoomTerm, 100.0f);
}

TEST_F(CameraTest, ZoomScalesTheProjectionThroughTheZoomTerm) {
    auto* zoom = new Envelope;
    zoom->addKeyLinear(3.2f, 0);
    zoom->addKeyLinear(6.4f, 1);
    camera.m_zoomFactor.channel = zoom;
    const Matrix4x3& p = camera.getProjMatrix(1.0, 0.1f, 1000.0f);
    EXPECT_NEAR(p.at(0, 0), 4.8f, 2e-4);
    EXPECT_NEAR(p.at(1, 1), 6.4f, 2e-4);
    EXPECT_FLOAT_EQ(view.m_zoomTerm, 200.0f);
    EXPECT_FLOAT_EQ(camera.m_zoomFactor.constant, 6.4f);
}


TEST_F(CameraTest, EyesShiftTheProjection) {
    view.m_currentEye = 0;
    float left = camera.getProjMatrix(0.0, 0.1f, 10.0f).at(2, 0);
    EXPECT_NEAR(left, 1.0f * 0.06f * 2.4f * -0.5f, 1e-6);
    camera.invalidate();
    view.m_currentEye = 1;
    EXPECT_NEAR(camera.getProjMatrix(0.0, 0.1f, 10.0f).at(2, 0), -left, 1e-6);
    camera.invalidate();
    view.m_currentEye = 2;
    EXPECT_FLOAT_EQ(camera.getProjMatrix(0.0, 0.1f, 10.0f).at(2, 0), 1.0f);
    camera.invalidate();
    view.m_currentEye = 3;
    EXPECT_FLOAT_EQ(camera.getProjMatrix(0.0, 0.1f, 10.0f).at(2, 0), -1.0f);
}

TEST_F(CameraTest, ViewAxisYTurnsForwardToMinusY) {
    camera.m_viewAxis = Camera::ALONG_Y;
    Matrix4x3 m;
    camera.getMatrix(m, 0.0, 1);
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, m), 0, -1, 0, 1e-6);
}


TEST_F(CameraTest, FlagZeroGivesThePlainWorldMatrix) {
    camera.m_viewAxis = Camera::ALONG_X;
    camera.m_channels[SceneItem::POS_Y].constant = 3;
    Matrix4x3 m;
    camera.getMatrix(m, 0.0, 0);
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, m), 0, 3, 1, 1e-6);
}

TEST_F(CameraTest, ViewPlacementAndItsInverseCancel) {
    camera.m_viewAxis = Camera::ALONG_Y;
    camera.m_channels[SceneItem::POS_X].constant = 2;
    camera.m_channels[SceneItem::HEADING].constant = 0.6f;
    Matrix4x3 m, inverse;
    camera.getMatrix(m, 0.0, 1);
    camera.getInvMatrix(inverse, 0.0, 1);
    EXPECT_POINT_NEAR(transformed(transformed({1, 2, 3}, m), inverse), 1, 2, 3, 1e-5);
}

TEST_F(CameraTest, EyeOffsetIsRebuiltForEachEye) {
    view.m_currentEye = -1;
    Matrix4x3 m;
    EXPECT_FLOAT_EQ(camera.getMatrix(m, 0.0, 1)[12], 0.0f);
    view.m_currentEye = 0;
    camera.invalidate();
    float shift = 4.0f * 1.0f * 0.06f * 0.5f;
    EXPECT_NEAR(camera.getMatrix(m, 0.0, 1)[12], -shift, 1e-6);
    view.m_currentEye = 1;
    camera.invalidate();
    EXPECT_NEAR(camera.getMatrix(m, 0.0, 1)[12], shift, 1e-6);
}

TEST_F(CameraTest, ViewportComesFromTheRenderTarget) {
    view.m_targetWidth = 640;
    view.m_targetHeight = 480;
    view.m_targetX = 16;
    view.m_targetY = 8;
    Viewport v = camera.getViewport();
    EXPECT_EQ(v.x, 16u);
    EXPECT_EQ(v.y, 8u);
    EXPECT_EQ(v.width, 640u);
    EXPECT_EQ(v.height, 480u);
    EXPECT_FLOAT_EQ(v.maxZ, 1.0f);
}


TEST_F(CameraTest, OffsetMovesTheAimedCameraInItsOwnFrameAndKeepsItsAim) {
    Camera target(&container, 1);
    target.m_channels[SceneItem::POS_X].constant = 10;
    camera.lookAt(&target, true, true);
    camera.m_offset = {0.0f, 0.3f, 3.0f};
    Matrix4x3 m;
    camera.getMatrix(m, 0.0, 0);
    // Aimed down +x, then pulled 3 back along the view and 0.3 up.
    EXPECT_POINT_NEAR(transformed({0, 0, 0}, m), -3, 0.3f, 0, 1e-5);
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, m), -2, 0.3f, 0, 1e-5);
    Matrix4x3 inverse;
    camera.getInvMatrix(inverse, 0.0, 0);
    EXPECT_POINT_NEAR(transformed({10, 0.3f, 0}, inverse), 0, 0, 13, 1e-4);
}

TEST_F(CameraTest, FollowFlagsChooseWhichAnglesTurnToTheTarget) {
    Camera target(&container, 1);
    target.m_channels[SceneItem::POS_X].constant = 10;
    target.m_channels[SceneItem::POS_Y].constant = 10;
    camera.m_channels[SceneItem::HEADING].constant = 0.0f;
    camera.m_channels[SceneItem::PITCH].constant = 0.0f;
    Matrix4x3 m;
    auto forward = [&] { return transformed({0, 0, 1}, camera.getMatrix(m, 0.0, 0)); };

    camera.lookAt(&target, true, false);
    EXPECT_TRUE(camera.followsHeading());
    EXPECT_FALSE(camera.followsPitch());
    EXPECT_POINT_NEAR(forward(), 1, 0, 0, 1e-5);

    camera.lookAt(&target, true, true);
    EXPECT_POINT_NEAR(forward(), std::sqrt(0.5f), std::sqrt(0.5f), 0, 1e-5);

    // Without a target the flags leave the channels in charge.
    camera.lookAt(nullptr, true, true);
    EXPECT_POINT_NEAR(forward(), 0, 0, 1, 1e-5);
}
