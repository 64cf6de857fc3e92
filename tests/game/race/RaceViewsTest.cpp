#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/mesh/Mesh.h"
#include "game/race/CameraClearance.h"
#include "game/race/RaceAssets.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/game/race/HandBuiltRace.h"
#include "tools/demodata/tracks/DemoTracks.h"

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

using Triangle = std::array<Position3, 3>;

// The drawn triangles of a track as its scene loads, apart from the race: those within 20 of `around`.
std::vector<Triangle> trackTriangles(int track, const Position3& around) {
    MetaScene pool;
    pool.m_loadsTextures = false;
    LW6Scene& scene = *SceneLoader::loadScene(pool, RaceAssets::trackScene(track), demoArchive());
    std::vector<Triangle> near;
    for (int32_t n = 0; n < scene.getObjectCount(); ++n) {
        SceneObject& object = *scene.getObjectAt(n);
        const Mesh* mesh = object.getFirstMesh();
        if (!mesh || object.m_unseenByCamera) continue;
        Matrix4x3 world;
        object.getMatrix(world, 0.0, 0);
        for (const MeshPolygon& polygon : mesh->m_polygons)
            for (const auto& corners : Mesh::triangulate(mesh->m_points, polygon)) {
                Triangle t;
                Position3 gap;
                for (int k = 0; k < 3; ++k) transformPoint4x3(t[k] = mesh->m_points[polygon.points[corners[k]]], world);
                for (int axis = 0; axis < 3; ++axis) {
                    const auto [low, high] = std::minmax({t[0][axis], t[1][axis], t[2][axis]});
                    gap[axis] = std::max({low - around[axis], around[axis] - high, 0.0f});
                }
                if (length(gap) < 20.0f) near.push_back(t);
            }
    }
    return near;
}

// View 0's camera in the mode, the chase camera 2.8 behind the rider to begin with: true when
// no triangle stands on the line from the rider to a hand's breadth beyond its eye.
bool eyeIsClear(Race& race, int32_t mode, const std::vector<Triangle>& track) {
    Vehicle& kart = *race.getVehicle(0);
    const Position3 aim = aimPointOf(kart);
    race.m_scene->m_cameras[0]->setPosition(aim - headingOf(kart) * 2.8f);
    race.m_cameraMode[0] = mode;
    race.setupView(0);
    const Position3 eye = placeOf(*race.viewCamera(0));
    const Position3 d = eye + normalised(eye - aim) * 0.1f - aim;
    return std::none_of(track.begin(), track.end(), [&](const Triangle& t) {
        const Position3 e1 = t[1] - t[0], e2 = t[2] - t[0], h = cross(d, e2), s = aim - t[0], q = cross(s, e1);
        const float det = dot(e1, h);
        if (det == 0.0f) return false;
        const float u = dot(s, h) / det, v = dot(d, q) / det, along = dot(e2, q) / det;
        return u >= 0.0f && v >= 0.0f && u + v <= 1.0f && along >= 0.0f && along <= 1.0f;
    });
}

// The rider's kart at rest on the road at `at`, facing along `forward`.
void standAt(Vehicle& kart, const Vec3& at, const Vec3& forward) {
    const float angles[3] = {0.0f, ::headingOf(forward), 0.0f};
    kart.m_object->setPosition(at);
    kart.m_object->setRotation(angles, false);
    kart.m_object->invalidate();
    Matrix4x3 world;
    kart.m_matrix = kart.m_object->getMatrix(world, 0.0, 1);
    kart.m_cameraTarget->setPosition({at.x, at.y + 1.0f, at.z});
    kart.m_cameraTarget->invalidate();
    kart.m_cameraReset = false;
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

TEST(RaceViews, FinishAndChaseCamerasStandInFrontOfEveryDemoTracksSceneryAcrossTheRoadAtTheFinish) {
    for (int track = 0; track < RaceAssets::TRACKS; ++track) {
        RaceConfig setting(Race::SINGLE_RACE, track);
        Race race;
        ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &setting.config())) << track;
        const Centreline line(demoTracks()[size_t(track)].centreline());
        const std::vector<Triangle> triangles = trackTriangles(track, line.at(4.0f).position);
        // Stopped past the line, from one kerb to the other, facing every way.
        for (float s : {2.0f, 6.0f})
            for (float across : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f})
                for (int turn = 0; turn < 8; ++turn) {
                    const Centreline::Frame f = line.at(s);
                    const float angle = float(turn) * PI / 4.0f;
                    standAt(*race.getVehicle(0), f.across(across * (f.width * 0.5f - 1.0f)),
                            f.forward * std::cos(angle) + f.right * std::sin(angle));
                    for (int32_t mode : {Race::FINISHED, Race::CHASE})
                        EXPECT_TRUE(eyeIsClear(race, mode, triangles))
                            << "track " << track << " at " << s << " across " << across << " turn " << turn
                            << " mode " << mode;
                }
    }
}

// A LAN rider finished on the shopping centre and stopped facing the pillar at the line: his
// screen showed the inside of the pillar until the race ended.
TEST(RaceViews, AFinishedRiderFacingThePillarAtTheShoppingCentresLineSeesHimselfInFrontOfIt) {
    RaceConfig setting(Race::SINGLE_RACE, 1);
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &setting.config()));
    const Centreline::Frame f = Centreline(demoTracks()[1].centreline()).at(0.5f);
    const std::vector<Triangle> triangles = trackTriangles(1, f.position);
    // The pillar stands 0.65 beyond the road's right edge, the finish camera three ahead of the rider.
    standAt(*race.getVehicle(0), f.across(f.width * 0.5f + 0.65f - 3.0f), f.right);
    std::unique_ptr<CameraClearance> clearance = std::move(race.m_cameraClearance);
    EXPECT_FALSE(eyeIsClear(race, Race::FINISHED, triangles)) << "without the clearance it stands in the pillar";
    race.m_cameraClearance = std::move(clearance);
    EXPECT_TRUE(eyeIsClear(race, Race::FINISHED, triangles));
    // Pulled in towards the rider, and looking back at him as before.
    Camera& finish = *race.viewCamera(0);
    EXPECT_GT(distance(placeOf(finish), aimPointOf(*race.getVehicle(0))), 1.0f);
    EXPECT_NEAR(dot(viewOf(finish), f.right), -1.0f, 0.01f);
}
