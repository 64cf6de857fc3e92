#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/game/race/HandBuiltRace.h"

namespace {

Position3 placeOf(SceneItem& item) {
    Matrix4x3 m;
    item.getMatrix(m, 0.0, 0);
    return {m[12], m[13], m[14]};
}

// The view direction: the camera's z axis.
Position3 viewOf(SceneItem& item) {
    Matrix4x3 m;
    item.getMatrix(m, 0.0, 0);
    return {m[8], m[9], m[10]};
}

float distance(const Position3& a, const Position3& b) {
    const float d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    return vectorLength(d);
}

// The kart's heading axis, of unit length.
Position3 headingOf(Vehicle& kart) {
    const Matrix4x3& pose = kart.m_matrix.get();
    float d[3] = {pose[8], pose[9], pose[10]};
    normalize(d);
    return {d[0], d[1], d[2]};
}

Position3 aimPointOf(Vehicle& kart) {
    Position3 at = placeOf(*kart.m_cameraTarget);
    return {at.x, at.y + 1.0f, at.z};
}

} // namespace

TEST(RaceViews, SplitScreenHalvesTheScreenWithWideAngles) {
    RecordingRenderDevice device;
    SceneRenderer renderer(device.device());
    renderer.m_screenWidth = 1280;
    renderer.m_screenHeight = 1023;
    Race race(&renderer);
    race.m_viewCount = 2;
    race.setupView(1);
    EXPECT_EQ(renderer.m_targetY, 511);
    EXPECT_EQ(renderer.m_targetHeight, 511);
    EXPECT_EQ(renderer.m_targetWidth, 1280);
    EXPECT_NEAR(renderer.m_fieldOfViewX, 79.611f, 1e-3);
    EXPECT_NEAR(renderer.m_fieldOfViewY, 34.708f, 1e-3);
    race.setupView(0);
    EXPECT_EQ(renderer.m_targetY, 0);
    EXPECT_EQ(renderer.m_targetHeight, 511);
    EXPECT_EQ(device.recording().calls().back(), "setViewport 0 0 1280 511 0 1");
    race.m_viewCount = 1;
    race.setupView(0);
    EXPECT_EQ(renderer.m_targetHeight, 1023);
    EXPECT_NEAR(renderer.m_fieldOfViewX, 45.240f, 1e-3);
    EXPECT_NEAR(renderer.m_fieldOfViewY, 34.708f, 1e-3);
}

TEST(RaceViews, CamerasLineUpAsTrackSetUpAndOnePerRider) {
    HandBuiltRace r(3);
    ASSERT_EQ(r.race.m_scene->m_cameras.size(), 5u);
    r.race.m_viewRider[0] = 2;
    EXPECT_EQ(r.race.viewCamera(0), r.race.m_scene->m_cameras[0].get());
    r.race.m_cameraMode[0] = Race::REAR;
    EXPECT_EQ(r.race.viewCamera(0), r.race.m_scene->m_cameras[4].get());
    // A scene without the rider's own camera keeps the view's.
    r.race.m_scene->m_cameras.pop_back();
    EXPECT_EQ(r.race.viewCamera(0), r.race.m_scene->m_cameras[0].get());
    r.race.setupView(0);
}

TEST(RaceViews, ChaseCameraSnapsBehindThenTrailsOnASlackLineOfTwoPointEight) {
    HandBuiltRace r;
    Race& race = r.race;
    Camera& camera = *race.m_scene->m_cameras[0];
    VehicleMaster& kart = r.kart(0);
    ASSERT_TRUE(kart.m_cameraReset.get());
    race.setupView(0);
    EXPECT_FALSE(kart.m_cameraReset.get());
    const Position3 aim = aimPointOf(kart);
    const Position3 behind = placeOf(camera);
    EXPECT_NEAR(distance(behind, aim), 2.8f, 1e-3);
    const Position3 heading = headingOf(kart);
    EXPECT_NEAR(behind.x, aim.x - heading.x * 2.8f, 1e-3);
    EXPECT_NEAR(behind.z, aim.z - heading.z * 2.8f, 1e-3);
    EXPECT_EQ(camera.m_target, kart.m_cameraTarget);
    EXPECT_TRUE(camera.followsHeading() && camera.followsPitch());

    // Inside the line's length the camera stays put.
    camera.setPosition({aim.x + 1.0f, aim.y, aim.z});
    race.setupView(0);
    EXPECT_NEAR(distance(placeOf(camera), {aim.x + 1.0f, aim.y, aim.z}), 0.0f, 1e-4);
    // Far away it is pulled in along its own line.
    camera.setPosition({aim.x + 10.0f, aim.y, aim.z});
    race.setupView(0);
    const Position3 pulled = placeOf(camera);
    EXPECT_NEAR(pulled.x, aim.x + 2.8f, 1e-3);
    EXPECT_NEAR(pulled.z, aim.z, 1e-3);
    // It looks at the kart's camera target.
    const Position3 target = placeOf(*kart.m_cameraTarget);
    const Position3 view = viewOf(camera);
    const float toTarget[3] = {target.x - pulled.x, target.y - pulled.y, target.z - pulled.z};
    EXPECT_NEAR((toTarget[0] * view.x + toTarget[1] * view.y + toTarget[2] * view.z) / vectorLength(toTarget), 1.0f,
                1e-4);
}

TEST(RaceViews, SpeedUpExtraLiftsTheTopSpeedForFiveSecondsWhileTheChaseCameraZoomsOutAndBack) {
    HandBuiltRace r;
    VehicleMaster& kart = r.kart(0);
    const VehicleSettings& settings = *kart.m_settings;
    float& zoom = r.race.m_scene->m_cameras[0]->m_zoomFactor.constant;
    zoom = 1.5f;
    r.startCountdown();
    for (int frame = 0; frame < 100 && r.race.m_countdownState != Race::RUNNING; ++frame) r.frame(0.05);
    ASSERT_EQ(r.race.m_countdownState, Race::RUNNING);
    r.drivers[0]->gas = 1;

    // A speed-up pad lifts the top speed for its own boost, as ever, and leaves the zoom.
    kart.onSpeedup(nullptr);
    r.frame(0.05);
    EXPECT_EQ(kart.m_maxSpeed, settings.m_boostedMaxSpeed);
    for (int frame = 0; frame < 80 && kart.m_boost != 0.0f; ++frame) r.frame(0.05);
    EXPECT_EQ(kart.m_maxSpeed, settings.m_maxSpeed);
    EXPECT_NEAR(zoom, 1.5f, 0.011f);

    kart.m_extra = 5;
    r.drivers[0]->extra = true;
    r.frame(0.05);
    r.drivers[0]->extra = false;
    EXPECT_EQ(kart.m_extra.get(), 0);
    float fastest = 0.0f, widest = zoom;
    // The boost's first 4.95 s.
    for (int frame = 0; frame < 98; ++frame) {
        r.frame(0.05);
        ASSERT_EQ(kart.m_maxSpeed, settings.m_boostedMaxSpeed) << frame;
        fastest = std::max(fastest, kart.m_curSpeed);
        widest = std::min(widest, zoom);
    }
    EXPECT_GT(fastest, settings.m_maxSpeed + 0.02f) << "the kart rides up to the boosted top speed";
    EXPECT_NEAR(widest, 1.0f, 0.011f);
    for (int frame = 0; frame < 3 && kart.m_boost != 0.0f; ++frame) r.frame(0.05);
    EXPECT_EQ(kart.m_boost, 0.0f);
    EXPECT_EQ(kart.m_maxSpeed, settings.m_maxSpeed);
    EXPECT_LE(kart.m_curSpeed, settings.m_maxSpeed);
    for (int frame = 0; frame < 60; ++frame) r.frame(0.05);
    EXPECT_NEAR(zoom, 1.5f, 0.011f);
}

TEST(RaceViews, RearViewOnlyWhileTabIsHeldAndTheFinishCameraLooksBackAtTheRider) {
    HandBuiltRace r;
    Race& race = r.race;
    Camera& rear = *race.m_scene->m_cameras[2];
    r.frame(0.0, HandBuiltRace::TAB);
    EXPECT_EQ(race.m_cameraMode[0], Race::REAR);
    EXPECT_EQ(race.viewCamera(0), &rear);
    r.frame(0.0);
    EXPECT_EQ(race.m_cameraMode[0], Race::REAR);
    r.input.m_keys[HandBuiltRace::TAB] = 0;
    r.frame(0.0);
    EXPECT_EQ(race.m_cameraMode[0], Race::CHASE);
    EXPECT_EQ(race.viewCamera(0), race.m_scene->m_cameras[0].get());

    VehicleMaster& kart = r.kart(0);
    const Position3 heading = headingOf(kart);
    race.m_cameraMode[0] = Race::FINISHED;
    r.frame(0.0, HandBuiltRace::TAB);
    EXPECT_EQ(race.m_cameraMode[0], Race::FINISHED);
    // Three ahead of the rider, a little up, looking back at him.
    const Position3 aim = aimPointOf(kart);
    const Position3 at = placeOf(rear);
    EXPECT_NEAR(at.x, aim.x + heading.x * 3.0f, 1e-2);
    EXPECT_NEAR(at.y, aim.y + 0.3f, 1e-2);
    EXPECT_NEAR(at.z, aim.z + heading.z * 3.0f, 1e-2);
    const Position3 view = viewOf(rear);
    EXPECT_NEAR(view.x, -heading.x, 1e-3);
    EXPECT_NEAR(view.z, -heading.z, 1e-3);
    EXPECT_FLOAT_EQ(rear.m_zoomFactor.constant, 1.5f);
}
