#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include <ode/collision.h>
#include <ode/objects.h>

#include "engine/platform/audio/SilentSound.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/physics/ODESpacePair.h"
#include "engine/scene/physics/PhysicsLibrary.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/surfaces/RaceSurfaces.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/karts/KartTestSupport.h"

#include "tests/game/ScriptedDriver.h"
#include "sys/Pi.h"

namespace {

constexpr double STEP = 0.01;
constexpr float RADIUS = 0.5f;

std::unique_ptr<VehicleMaster> makeKart(Controller* driver, int32_t index = 0) {
    auto kart = std::make_unique<VehicleMaster>("", nullptr, std::unique_ptr<Controller>(driver), index, nullptr,
                                                std::make_unique<VehicleSettings>(0, std::string()), 0, RADIUS, 1.0f);
    kart->m_active = true;
    return kart;
}

bool finite(const float* v, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

float rowLength(const Matrix4x3& m, int row) {
    const float v[3] = {m[row * 4], m[row * 4 + 1], m[row * 4 + 2]};
    return vectorLength(v);
}

// A kart on an empty scene, driven straight along +z on flat ground at height 0.
class KartStep : public ::testing::Test {
protected:
    void step(int count = 1) {
        for (int i = 0; i < count; ++i) {
            for (int wheel = 0; wheel < Vehicle::WHEELS; ++wheel) kart->m_rayHeight[wheel] = ground;
            kart->update(m_time += STEP, STEP);
        }
    }
    // Rolling along the heading at exactly `speed`: the pedal is held against a top speed of `speed`.
    void cruise(float speed) {
        step();
        driver->gas = 1;
        kart->m_reversing = false;
        kart->m_maxSpeed = kart->m_curSpeed = speed;
        for (int i = 0; i < 3; ++i) kart->m_slideVelocity[i] = kart->m_heading[i];
    }
    Position3 position() const { return kart->m_netPos.get(); }

    ScriptedDriver* driver = new ScriptedDriver;
    std::unique_ptr<VehicleMaster> kart = makeKart(driver);
    float ground = 0.0f;
    double m_time = 0.0;
};

TEST_F(KartStep, SlowKartTurnsByItsSpeedAndOnlyOnTheGround) {
    cruise(0.01f);
    driver->right = 1;
    step();
    EXPECT_NEAR(std::atan2(kart->m_heading[0], kart->m_heading[2]), 0.01f, 1e-5f);
    EXPECT_NEAR(kart->m_netAngle.get(), 0.01f, 1e-5f);

    ground = VehicleMaster::NO_GROUND;
    step();
    step();
    EXPECT_TRUE(kart->m_airborne);
    EXPECT_NEAR(std::atan2(kart->m_heading[0], kart->m_heading[2]), 0.02f, 1e-5f)
        << "the step that left the ground still steered; the one in the air does not";
}

TEST_F(KartStep, HeadOnWallAtFullSpeedCrashesAndBouncesBack) {
    kart->m_trackCrash = 3;
    cruise(0.29f);
    step();
    Position3 before = kart->m_lastPos;
    kart->m_wallNormal = {0.0f, 0.0f, -1.0f};
    kart->m_wallPos = {0.0f, 0.0f, position().z + 0.3f};
    kart->m_wallDepth = 0.05f;
    step();
    EXPECT_EQ(kart->m_blendRequest, 2);
    EXPECT_EQ(kart->m_blendTrack, 3);
    EXPECT_FLOAT_EQ(kart->m_blendHold, 1.0f);
    EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.02f);
    EXPECT_TRUE(kart->m_reversing);
    EXPECT_FLOAT_EQ(position().x, before.x);
    EXPECT_FLOAT_EQ(position().z, before.z - 0.02f);
    EXPECT_EQ(kart->m_soundStart.get(), int(Vehicle::SOUND_HIT_WALL));
    EXPECT_EQ(kart->m_wallDepth, 0.0f);

    driver->gas = 0;
    step();
    EXPECT_TRUE(driver->toldWallHit);
    EXPECT_TRUE(driver->toldReversing);
    EXPECT_LT(position().z, before.z - 0.02f) << "it moves backwards";
}

TEST_F(KartStep, SlowCrashOrMissingCrashTrackStartsNoAnimation) {
    for (float speed : {0.015f, 0.29f}) {
        kart->m_trackCrash = speed < 0.02f ? 3 : -1;
        kart->m_reversing = false;
        kart->m_blendRequest = 0;
        kart->m_blendTrack = -1;
        cruise(speed);
        kart->m_wallNormal = {0.0f, 0.0f, -1.0f};
        kart->m_wallDepth = 0.05f;
        step();
        EXPECT_EQ(kart->m_blendRequest, 0) << speed;
        EXPECT_EQ(kart->m_blendTrack, -1) << speed;
        EXPECT_FLOAT_EQ(kart->m_curSpeed, std::min(speed * 0.3f, 0.02f)) << speed;
    }
}

struct Glance {
    float degrees;
    bool computer;
    float speedFactor; // 0: a crash
};

class KartWallSlide : public KartStep, public ::testing::WithParamInterface<Glance> {};

TEST_P(KartWallSlide, LosesSpeedByImpactAngleOrCrashesPastTheDriversLimit) {
    const Glance glance = GetParam();
    driver->computer = glance.computer;
    cruise(0.2f);
    float a = glance.degrees * PI / 180.0f;
    kart->m_wallNormal = {std::cos(a), 0.0f, -std::sin(a)};
    kart->m_wallPos = {-1.0f, 0.0f, 2.0f};
    kart->m_wallDepth = 0.01f;
    step();
    if (glance.speedFactor == 0.0f) {
        EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.02f);
        EXPECT_TRUE(kart->m_reversing);
        return;
    }
    EXPECT_NEAR(kart->m_curSpeed, 0.2f * glance.speedFactor, 1e-5f);
    EXPECT_FALSE(kart->m_reversing);
    // Along the wall, onwards, pushed out to the kart's radius.
    EXPECT_NEAR(kart->m_heading[0], std::sin(a), 1e-6f);
    EXPECT_NEAR(kart->m_heading[2], std::cos(a), 1e-6f);
    float reach = RADIUS + 0.001f;
    EXPECT_NEAR(position().x, -1.0f + std::cos(a) * reach + std::sin(a) * kart->m_curSpeed, 1e-5f);
    EXPECT_NEAR(position().z, 2.0f - std::sin(a) * reach + std::cos(a) * kart->m_curSpeed, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(HumanAndComputer, KartWallSlide,
                         ::testing::Values(Glance{50.0f, false, 4.0f / 9.0f}, Glance{70.0f, false, 0.0f},
                                           Glance{70.0f, true, 2.0f / 9.0f}, Glance{80.0f, true, 0.0f}));

// A rider too slow to slide who holds the throttle against a wall leans on it and swings the moped
// round at the full turn rate; a computer rider, and anyone under a ceiling, is bounced back as before.
TEST_F(KartStep, SlowRiderLeansOnAWallAndTurnsOnTheSpotWhereComputersAndCeilingsBounce) {
    struct Lean {
        bool computer;
        Normal3 normal;
        bool leans;
    };
    const float turnRate = 1.16f * PI / 180.0f;
    for (const Lean& lean : {Lean{false, {0.0f, 0.0f, -1.0f}, true}, Lean{true, {0.0f, 0.0f, -1.0f}, false},
                             Lean{false, {0.0f, -1.0f, 0.0f}, false}}) {
        driver->computer = lean.computer;
        driver->left = 0;
        kart->m_heading[0] = kart->m_heading[1] = 0.0f;
        kart->m_heading[2] = 1.0f;
        cruise(0.005f);
        for (int touch = 0; touch < 2; ++touch) {
            const Position3 at = position();
            kart->m_wallNormal = lean.normal;
            kart->m_wallPos = {at.x, at.y, at.z + RADIUS - 0.01f};
            kart->m_wallDepth = 0.01f;
            driver->left = touch;
            step();
            EXPECT_EQ(kart->m_reversing, !lean.leans) << lean.computer << lean.normal.y << touch;
            if (!lean.leans) continue;
            EXPECT_NEAR(position().z, at.z + RADIUS - 0.01f - (RADIUS + 0.001f) + 0.005f, 1e-5f) << "pushed out";
            EXPECT_FALSE(driver->toldWallHit);
        }
        const float turned = -std::atan2(kart->m_heading[0], kart->m_heading[2]);
        EXPECT_NEAR(turned, lean.leans ? turnRate : 0.0f, lean.leans ? 1e-5f : 0.0051f) << lean.computer << lean.normal.y;
    }
}

TEST_F(KartStep, BumpAveragesBothSpeedsAndPushesOutPastTheContact) {
    auto other = makeKart(new ScriptedDriver, 1);
    kart->m_bumpOther = other.get();
    kart->m_bumpNormal = {1.0f, 0.0f, 0.0f};
    // A broken speed from the other kart counts as standing.
    cruise(0.2f);
    other->m_curSpeed = std::nanf("");
    kart->m_bumpDepth = 0.05f;
    step();
    EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.1f);

    cruise(0.2f);
    Position3 before = position();
    other->m_curSpeed = 0.1f;
    kart->m_bumpDepth = 0.05f;
    kart->m_fallSpeed = 0.03f;
    step();
    EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.15f);
    EXPECT_FLOAT_EQ(position().x, before.x + 0.13f);
    EXPECT_EQ(kart->m_fallSpeed, 0.0f);
    EXPECT_EQ(kart->m_bumpDepth, 0.0f);
    EXPECT_EQ(kart->m_soundStart.get(), int(Vehicle::SOUND_HIT_OBJECT));
}

TEST_F(KartStep, ShrunkKartTouchedByAnotherIsSquashedAndKeepsTheBump) {
    cruise(0.2f);
    kart->m_shrinkTimer = 5.0f;
    kart->m_bumpDepth = 0.05f;
    step();
    EXPECT_EQ(kart->m_shrinkTimer, 0.0f);
    EXPECT_GT(kart->m_stamperTimer, 0.0f);
    EXPECT_EQ(kart->m_blendRequest, 2);
    EXPECT_EQ(kart->m_bumpDepth, 0.05f);
}

TEST_F(KartStep, FallsOffAnEdgeSlowlyAndSnapsUpToTheMeanOfTouchingWheels) {
    step();
    ASSERT_FALSE(kart->m_airborne);
    // No wheel touches: that is air, not a mean of nothing.
    float y = position().y;
    for (int k = 1; k <= 3; ++k) {
        kart->update(m_time += STEP, STEP);
        EXPECT_TRUE(kart->m_airborne);
        EXPECT_NEAR(kart->m_fallSpeed, -0.0016f * k, 1e-7f);
        y -= 0.0008f * k;
        EXPECT_NEAR(position().y, y, 1e-6f);
    }
    kart->m_rayHeight[0] = 1.0f;
    kart->m_rayHeight[2] = 1.2f;
    kart->update(m_time += STEP, STEP);
    EXPECT_FLOAT_EQ(position().y, 1.1f);
    EXPECT_FALSE(kart->m_airborne);
}

TEST_F(KartStep, ObstaclePushIsLimitedBothWaysAndSlowsTheKartByMass) {
    PhysicsLibrary::ensureStarted();
    dWorldID world = dWorldCreate();
    dBodyID body = dBodyCreate(world);
    dMass mass;
    dMassSetBoxTotal(&mass, 50.7, 1.0, 1.0, 1.0);
    dBodySetMass(body, &mass);
    dBodyDisable(body);
    SceneObject obstacle(nullptr, 0);
    obstacle.m_body = body;

    cruise(0.2f);
    kart->m_obstacle = &obstacle;
    kart->m_obstacleNormal = {-0.6f, 0.0f, 0.8f};
    kart->m_obstaclePos = {1.0f, 0.5f, 2.0f};
    kart->m_obstacleDepth = 0.1f;
    step();
    EXPECT_TRUE(dBodyIsEnabled(body));
    const dReal* force = dBodyGetForce(body);
    EXPECT_FLOAT_EQ(force[0], -1525.0f);
    EXPECT_FLOAT_EQ(force[2], 1525.0f);
    EXPECT_NEAR(kart->m_curSpeed, 0.2f - 1.0f / 758.0f * 0.1f * 50.0f, 1e-6f) << "the mass counts whole";
    EXPECT_EQ(kart->m_obstacleDepth, 0.0f);
    EXPECT_EQ(kart->m_soundStart.get(), int(Vehicle::SOUND_HIT_OBJECT));

    // Something heavy throws the kart back.
    dMassAdjust(&mass, 100000.0);
    dBodySetMass(body, &mass);
    kart->m_obstacleDepth = 0.1f;
    step();
    EXPECT_TRUE(kart->m_reversing);
    EXPECT_LT(kart->m_curSpeed, 0.011f);

    // A geom without a body is left alone.
    obstacle.m_body = nullptr;
    cruise(0.2f);
    kart->m_obstacleDepth = 0.1f;
    step();
    EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.2f);
    EXPECT_EQ(kart->m_obstacleDepth, 0.0f);
    dWorldDestroy(world);
}

TEST_F(KartStep, PoseStandsOnTheGroundNormalWithUnitAxes) {
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    for (Normal3 n : {Normal3{0.0f, c, s}, Normal3{s, c, 0.0f}, Normal3{0.0f, 0.0f, 1.0f}}) {
        cruise(0.1f);
        for (int wheel = 0; wheel < Vehicle::WHEELS; ++wheel)
            kart->m_groundNormals[wheel].assign(VehicleMaster::NORMAL_HISTORY + 3, n);
        step();
        const Matrix4x3& pose = kart->m_matrix.get();
        for (int row = 0; row < 3; ++row) EXPECT_NEAR(rowLength(pose, row), 1.0f, 1e-5f) << n.x << n.y << n.z;
        EXPECT_NEAR(pose[4], n.x, 1e-5f);
        EXPECT_NEAR(pose[5], n.y, 1e-5f);
        EXPECT_NEAR(pose[6], n.z, 1e-5f);
        EXPECT_NEAR(pose[8] * n.x + pose[9] * n.y + pose[10] * n.z, 0.0f, 1e-5f);
        EXPECT_EQ(kart->m_groundNormals[0].size(), VehicleMaster::NORMAL_HISTORY);
    }
}

TEST_F(KartStep, StandingKartInTheWindDriftsWithoutBreaking) {
    // Reversing exactly against its own drift: the blend of the two has no direction.
    kart->m_settings->m_rolling = 0.0f;
    step();
    kart->m_reversing = true;
    kart->m_curSpeed = 0.05f;
    for (int i = 0; i < 3; ++i) kart->m_slideVelocity[i] = kart->m_heading[i] * 0.05f;
    SceneObject wind(nullptr, 0);
    kart->m_windObject = &wind;
    Position3 before = position();
    step();
    EXPECT_TRUE(finite(&kart->m_netPos.get().x, 3));
    EXPECT_NEAR(position().z, before.z - 0.05f + 0.004f, 1e-6f);
    EXPECT_TRUE(finite(kart->m_slideVelocity, 3));
    EXPECT_EQ(kart->m_windObject, nullptr);
}

TEST_F(KartStep, EffectTimersRunOutAndTheBoostReturnsTheTopSpeed) {
    auto* loop = new SilentSound;
    kart->m_sounds[Vehicle::SOUND_PROTECTION].reset(loop);
    loop->play(true);
    kart->m_frozenTimer = 0.015f;
    kart->m_protectionTime = 0.01f;
    kart->m_boost = 0.02f;
    kart->m_maxSpeed = kart->m_settings->m_boostedMaxSpeed;
    driver->gas = 1;
    step();
    EXPECT_EQ(kart->m_curSpeed, 0.0f) << "frozen";
    EXPECT_EQ(kart->m_protectionTime, 0.0f);
    EXPECT_FALSE(loop->isPlaying());
    EXPECT_EQ(kart->m_soundStop.get(), int(Vehicle::SOUND_PROTECTION));
    EXPECT_FLOAT_EQ(kart->m_maxSpeed, 0.435f);
    step();
    EXPECT_EQ(kart->m_frozenTimer, 0.0f);
    EXPECT_EQ(kart->m_boost, 0.0f);
    EXPECT_FLOAT_EQ(kart->m_maxSpeed, 0.29f);
    step();
    EXPECT_GT(kart->m_curSpeed, 0.0f);
}

TEST_F(KartStep, CollectedPickUpIsHiddenBelowTheTrackOnce) {
    SceneObject pickUp(nullptr, 0);
    pickUp.setPosition({1.0f, 2.0f, 3.0f});
    kart->m_pickUp = &pickUp;
    step();
    Matrix4x3 world;
    EXPECT_FLOAT_EQ(pickUp.getMatrix(world, 0.0, 1)[13], -98.0f);
    EXPECT_EQ(pickUp.m_hiddenTime, 10.0f);
    EXPECT_EQ(kart->m_pickUp, nullptr);
}

TEST(KartStepWithoutDriver, FallsWithoutCrashing) {
    auto kart = makeKart(nullptr);
    for (int i = 0; i < 100; ++i) kart->update(i * STEP, STEP);
    EXPECT_TRUE(kart->m_airborne);
    EXPECT_LT(kart->m_netPos.get().y, -1.0f);
}

TEST_F(KartStep, RandomDrivingAndContactsNeverBreakTheState) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    auto other = makeKart(new ScriptedDriver, 1);
    for (int i = 0; i < 10000; ++i) {
        driver->left = random() % 2;
        driver->right = random() % 2;
        driver->gas = random() % 3 != 0;
        driver->brakes = random() % 4 == 0;
        driver->computer = random() % 2;
        for (int wheel = 0; wheel < Vehicle::WHEELS; ++wheel) {
            kart->m_rayHeight[wheel] = random() % 5 ? position().y + unit(random) * 0.1f : VehicleMaster::NO_GROUND;
            Normal3 n = random() % 50 ? Normal3{unit(random), 1.0f, unit(random)} : Normal3{0.0f, 0.0f, 1.0f};
            kart->m_groundNormals[wheel].push_back(n);
        }
        if (random() % 10 == 0) {
            float side = unit(random);
            kart->m_wallNormal = {side, unit(random) * 0.2f, std::sqrt(1.0f - side * side)};
            kart->m_wallPos = position();
            kart->m_wallDepth = 0.01f;
        }
        if (random() % 15 == 0) {
            kart->m_bumpOther = other.get();
            other->m_curSpeed = unit(random);
            kart->m_bumpNormal = {unit(random), 0.0f, unit(random)};
            kart->m_bumpDepth = 0.02f;
        }
        if (random() % 40 == 0) kart->m_shrinkTimer = 0.05f;
        kart->update(m_time += STEP, STEP);
        ASSERT_TRUE(finite(&kart->m_netPos.get().x, 3)) << i;
        ASSERT_TRUE(finite(kart->m_heading, 3)) << i;
        ASSERT_TRUE(finite(kart->m_slideVelocity, 3)) << i;
        ASSERT_TRUE(finite(kart->m_matrix.get().m, 16)) << i;
        ASSERT_TRUE(std::isfinite(kart->m_netAngle.get())) << i;
        ASSERT_GE(kart->m_curSpeed, 0.0f) << i;
        ASSERT_NEAR(rowLength(kart->m_matrix.get(), 2), 1.0f, 1e-4f) << i;
    }
}

namespace kf = KartFixture;

// The fixture track with the race's contact policies, stepped as the race steps it.
class KartStepOnTrack : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.ok());
        ASSERT_TRUE(m_archive.ok());
        m_track = std::make_unique<KartFixtureScene>(m_archive.files());
        m_oldFiles = g_fileSystem;
        g_fileSystem = &m_archive.files();
        g_race = &m_race;
        m_race.m_config = &m_config;
        m_race.m_scene = m_track->m_scene;
        m_config.m_track.set(kf::TRACK_INDEX);
    }
    void TearDown() override {
        for (auto& vehicle : m_race.m_vehicles) vehicle.reset();
        g_race = nullptr;
        g_fileSystem = m_oldFiles;
    }

    // A kart standing at the placement; call start() once every kart is made.
    VehicleMaster& addKart(const kf::Placement& placement, ScriptedDriver* driver) {
        const int index = m_race.m_vehicleCount++;
        EXPECT_TRUE(m_track->addRider());
        m_track->moveStart(index + 1, placement);
        auto* settings = new VehicleSettings(kf::MOPED_MODEL, kf::SETTINGS_FILE);
        settings->load(m_archive.files());
        m_race.m_vehicles[index] =
            std::make_unique<VehicleMaster>(kf::MOPED_OBJECT, m_track->m_scene, std::unique_ptr<Controller>(driver),
                                            index, m_race.m_vehicleRecord, std::unique_ptr<VehicleSettings>(settings),
                                            0, kf::KART_RADIUS, kf::KART_SCALE);
        auto& kart = static_cast<VehicleMaster&>(*m_race.m_vehicles[index]);
        kart.m_active = true;
        return kart;
    }
    void start() {
        m_track->start();
        m_surfaces.install(*m_track->m_scene);
    }
    void step() {
        LW6Scene& scene = *m_track->m_scene;
        scene.collide();
        dWorldQuickStep(scene.m_world, STEP);
        dJointGroupEmpty(scene.m_contactGroup);
        m_time += STEP;
        for (int i = 0; i < m_race.m_vehicleCount; ++i) m_race.m_vehicles[i]->update(m_time, STEP);
    }
    static Position3 where(VehicleMaster& kart) {
        Position3 at;
        return kart.getPosition(at);
    }

    ScratchFolder m_folder;
    KartFixtureArchive m_archive;
    std::unique_ptr<KartFixtureScene> m_track;
    Config m_config{nullptr, ""};
    Race m_race;
    RaceSurfaces m_surfaces{&m_race};
    File* m_oldFiles = nullptr;
    double m_time = 0.0;
};

TEST_F(KartStepOnTrack, DrivingIntoTheLongWallCrashesAndStaysOutOfIt) {
    auto* driver = new ScriptedDriver;
    driver->gas = 1;
    VehicleMaster& kart = addKart(kf::WALL_LONG_APPROACH, driver);
    start();
    ASSERT_NE(kart.m_trackCrash, -1);
    float closest = 0.0f, speedAtHit = 0.0f;
    int hits = 0;
    for (int i = 0; i < 600; ++i) {
        float speed = kart.m_curSpeed;
        step();
        closest = std::min(closest, where(kart).x);
        if (kart.m_reversing && hits++ == 0) {
            speedAtHit = speed;
            EXPECT_EQ(kart.m_blendTrack, kart.m_trackCrash);
            EXPECT_FLOAT_EQ(kart.m_curSpeed, 0.02f);
            EXPECT_EQ(kart.m_soundStart.get(), int(Vehicle::SOUND_HIT_WALL));
        }
    }
    EXPECT_GT(speedAtHit, 0.05f);
    EXPECT_TRUE(hits > 0);
    const float face = kf::WALL_LONG_CENTRE.x + 0.5f;
    EXPECT_GT(closest, face) << "never inside the wall";
    EXPECT_LT(closest, face + 1.5f) << "but right up against it";
}

// Nose against the wall, throttle and a steering key held for two seconds: the moped swings round
// the way it is steered until it heads away and rides off, and the chase camera stays behind it.
class KartSteeringAtTheWall : public KartStepOnTrack, public ::testing::WithParamInterface<bool> {};

TEST_P(KartSteeringAtTheWall, TurnsAwayTheWayItIsSteeredWithTheCameraBehind) {
    const bool right = GetParam();
    {
        auto* driver = new ScriptedDriver;
        driver->gas = 1;
        VehicleMaster& kart = addKart(kf::WALL_LONG_APPROACH, driver);
        start();
        Camera& camera = *m_race.m_scene->m_cameras[0];
        auto advance = [&] {
            step();
            m_race.setupView(0);
        };
        int crashes = 0;
        for (int i = 0; i < 400 && crashes < 3; ++i) {
            const bool was = kart.m_reversing;
            advance();
            crashes += !was && kart.m_reversing;
        }
        ASSERT_EQ(crashes, 3) << "stuck at the wall";

        const float face = kf::WALL_LONG_CENTRE.x + 0.5f;
        const float reach = kf::KART_RADIUS * kf::KART_SCALE;
        float yaw = std::atan2(kart.m_heading[0], kart.m_heading[2]), turned = 0.0f, widest = 0.0f;
        int free = -1;
        (right ? driver->right : driver->left) = 1;
        for (int i = 0; i < 200; ++i) {
            advance();
            const float now = std::atan2(kart.m_heading[0], kart.m_heading[2]);
            turned += std::remainder(now - yaw, 2.0f * PI);
            yaw = now;
            const Position3 at = where(kart);
            if (free < 0 && at.x > face + reach + 0.1f) {
                free = i;
                EXPECT_GT(kart.m_heading[0], 0.0f) << "heading away from the wall";
            }
            if (at.x > face + reach + 0.01f) continue;
            // While it touches the wall, seen from above: the camera lies against the rider's heading.
            const Position3 eye = camera.evaluatePosition(0.0);
            float back[3] = {eye.x - at.x, 0.0f, eye.z - at.z};
            normalize(back);
            const float behind = -(back[0] * kart.m_heading[0] + back[2] * kart.m_heading[2]);
            widest = std::max(widest, std::acos(std::min(behind, 1.0f)));
        }
        ASSERT_GE(free, 0) << "still at the wall after two seconds";
        EXPECT_LT(free, 150);
        EXPECT_GT(right ? turned : -turned, PI / 2.0f) << "turned the way it was steered";
        EXPECT_LT(widest, 0.25f) << "the camera stays behind the rider";
        EXPECT_GT(where(kart).x, face + reach + 1.0f) << "rode off";
    }
}

INSTANTIATE_TEST_SUITE_P(LeftAndRight, KartSteeringAtTheWall, ::testing::Bool());

TEST_F(KartStepOnTrack, FallingOffTheEdgeRespawnsOnTheLap) {
    auto* driver = new ScriptedDriver;
    driver->gas = 1;
    VehicleMaster& kart = addKart(kf::FALL_APPROACH, driver);
    start();
    kart.m_cameraReset = false;
    float lowest = 0.0f;
    int i = 0;
    for (; i < 2000 && !kart.m_cameraReset.get(); ++i) {
        step();
        lowest = std::min(lowest, where(kart).y);
    }
    ASSERT_TRUE(kart.m_cameraReset.get());
    EXPECT_LT(lowest, -20.0f);
    EXPECT_GT(lowest, -25.0f) << "caught on its first step below -20";
    driver->gas = 0;
    for (int k = 0; k < 100; ++k) step();
    Position3 at = where(kart);
    EXPECT_FALSE(kart.m_airborne);
    EXPECT_NEAR(at.y, 0.0f, 1e-3f);
    EXPECT_LE(std::fabs(at.x), kf::LAP_HALF_WIDTH + 0.5f);
    EXPECT_LE(std::fabs(at.z), kf::LAP_STRAIGHT_HALF + kf::LAP_HALF_WIDTH + 0.5f);
}

TEST_F(KartStepOnTrack, RearEndedKartIsPushedOnAndBothShareTheSpeed) {
    auto* chaser = new ScriptedDriver;
    chaser->gas = 1;
    VehicleMaster& back = addKart({{0.0f, 0.0f, -12.0f}, 0.0f}, chaser);
    VehicleMaster& front = addKart({{0.0f, 0.0f, 0.0f}, 0.0f}, new ScriptedDriver);
    start();
    float gap = 100.0f;
    bool bumped = false;
    for (int i = 0; i < 500 && !bumped; ++i) {
        float before = back.m_curSpeed;
        step();
        gap = std::min(gap, where(front).z - where(back).z);
        if (front.m_curSpeed == 0.0f) continue;
        bumped = true;
        EXPECT_GT(before, 0.05f);
        EXPECT_NEAR(back.m_curSpeed, (before + 0.000368f) * 0.5f, 1e-4f);
        EXPECT_NEAR(front.m_curSpeed, back.m_curSpeed * 0.5f, 1e-4f) << "averaged with the new speed";
        EXPECT_EQ(back.m_soundStart.get(), int(Vehicle::SOUND_HIT_OBJECT));
    }
    ASSERT_TRUE(bumped);
    for (int i = 0; i < 5; ++i) step();
    EXPECT_GT(where(front).z, 0.05f) << "pushed on, and rolling";
    EXPECT_GT(gap, 0.9f) << "never through each other";
}

TEST_F(KartStepOnTrack, ObstacleIsPushedAwayAndSlowsTheKart) {
    ODESpacePair restOnGround(true);
    auto* driver = new ScriptedDriver;
    driver->gas = 1;
    VehicleMaster& kart = addKart(kf::OBSTACLE_APPROACH, driver);
    start();
    LW6Scene& scene = *m_track->m_scene;
    scene.m_spacePairTable[kf::SPACE_OBSTACLES][kf::SPACE_GROUND] = &restOnGround;
    scene.m_spacePairTable[kf::SPACE_GROUND][kf::SPACE_OBSTACLES] = &restOnGround;
    SceneObject* obstacle = scene.getObject(kf::OBSTACLE, -1, 1);
    ASSERT_NE(obstacle, nullptr);
    ASSERT_NE(obstacle->m_body, nullptr);
    bool hit = false;
    for (int i = 0; i < 400; ++i) {
        float before = kart.m_curSpeed;
        step();
        if (!hit && kart.m_soundStart.get() == int(Vehicle::SOUND_HIT_OBJECT)) {
            hit = true;
            EXPECT_LT(kart.m_curSpeed, before + 0.000368f);
        }
    }
    ASSERT_TRUE(hit);
    const dReal* at = dBodyGetPosition(obstacle->m_body);
    EXPECT_GT(at[2], kf::OBSTACLE_CENTRE.z + 0.5f) << "pushed away from the kart";
    EXPECT_LT(where(kart).z, at[2]);
}

TEST_F(KartStepOnTrack, TenThousandStepsOfRandomDrivingStayFinite) {
    auto* driver = new ScriptedDriver;
    VehicleMaster& kart = addKart(kf::start(1), driver);
    start();
    std::mt19937 random(11);
    for (int i = 0; i < 10000; ++i) {
        if (i % 50 == 0) {
            driver->gas = random() % 4 != 0;
            driver->brakes = random() % 5 == 0;
            driver->left = random() % 3 == 0;
            driver->right = random() % 3 == 0;
        }
        step();
        Position3 at = where(kart);
        ASSERT_TRUE(finite(&at.x, 3)) << i;
        ASSERT_TRUE(finite(kart.m_matrix.get().m, 16)) << i;
        ASSERT_TRUE(finite(kart.m_heading, 3)) << i;
        ASSERT_TRUE(std::isfinite(kart.m_curSpeed)) << i;
        ASSERT_GT(at.y, -30.0f) << i;
        ASSERT_LT(std::fabs(at.x), kf::GROUND_HALF_SIZE + 20.0f) << i;
        ASSERT_LT(std::fabs(at.z), kf::GROUND_HALF_SIZE) << i;
    }
}

} // namespace
