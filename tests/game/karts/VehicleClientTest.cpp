// The remote kart between received values: dead reckoning, broken values, pick-ups and sounds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "engine/platform/audio/Sound.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "game/karts/VehicleClient.h"
#include "game/karts/VehicleSettings.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include "tests/game/ScriptedDriver.h"

namespace {

// What the network client does with a chunk: the bytes arrive, then the value commits.
template <typename T>
void receive(NetValue<T>& value, const T& v) {
    value.setData(reinterpret_cast<const uint8_t*>(&v), sizeof v);
    value.commit();
}

class RemoteKart : public ::testing::Test {
protected:
    RecordingView view;
    LW6Scene scene{&view};
    NetControl client;
    uint32_t record[3] = {0, 0, 0};
    SceneObject* body = scene.createObject("car_Ctrl");
    VehicleClient kart{"moped.lwo", &scene, std::make_unique<ScriptedDriver>(), 0, record, nullptr, 0, 0.75f, 1.0f,
                       client};
};

// Counts what it is asked to do and where.
class CountingSound : public Sound {
public:
    bool play(bool loop) override { ++plays; m_playing = true; return true; }
    bool setLoop(bool) override { return true; }
    bool setFrequency(uint32_t) override { return true; }
    bool stop() override { ++stops; m_playing = false; return true; }
    double getPosition() override { return 0.0; }
    bool setVolume(float) override { return true; }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }
    void set3D(float px, float py, float pz, float, float, float, float, float, float) override { at = {px, py, pz}; }
    int plays = 0;
    int stops = 0;
    Position3 at = {0.0f, 0.0f, 0.0f};
};

} // namespace

TEST_F(RemoteKart, SnapsToNewPositionsAndCarriesOnBetweenThemWhileActive) {
    receive(kart.m_netPos, Position3{0.0f, 0.0f, 0.0f});
    kart.update(0.0, 0.01);
    EXPECT_TRUE(kart.m_hasPosition) << "the first step snaps even to the origin";

    receive(kart.m_netPos, Position3{10.0f, 1.0f, 5.0f});
    receive(kart.m_netDir, Normal3{0.0f, 0.0f, 1.0f});
    receive(kart.m_speed, 0.2f);
    receive(kart.m_active, true);
    kart.update(0.01, 0.01);
    EXPECT_POINT_NEAR(kart.m_position, 10.0f, 1.0f, 5.0f, 1e-6);
    kart.update(0.02, 0.01);
    kart.update(0.03, 0.01);
    EXPECT_POINT_NEAR(kart.m_position, 10.0f, 1.0f, 5.4f, 1e-5);
    Position3 reported;
    // Others see the received position.
    EXPECT_POINT_NEAR(kart.getPosition(reported), 10.0f, 1.0f, 5.0f, 0.0);

    receive(kart.m_netPos, Position3{11.0f, 1.0f, 5.0f});
    kart.update(0.04, 0.01);
    // No smoothing.
    EXPECT_POINT_NEAR(kart.m_position, 11.0f, 1.0f, 5.0f, 0.0);

    receive(kart.m_active, false);
    kart.update(0.05, 0.01);
    // A kart out of the race stays put.
    EXPECT_POINT_NEAR(kart.m_position, 11.0f, 1.0f, 5.0f, 0.0);
}

TEST_F(RemoteKart, BrokenValuesFromTheNetworkKeepTheLastFiniteOnes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    receive(kart.m_active, true);
    receive(kart.m_netPos, Position3{1.0f, 2.0f, 3.0f});
    receive(kart.m_netDir, Normal3{1.0f, 0.0f, 0.0f});
    receive(kart.m_speed, 0.1f);
    kart.update(0.0, 0.01);

    receive(kart.m_netPos, Position3{nan, 0.0f, 0.0f});
    receive(kart.m_netDir, Normal3{0.0f, inf, 0.0f});
    receive(kart.m_speed, nan);
    Matrix4x3 broken = Matrix4x3::identity();
    broken.m[5] = nan;
    receive(kart.m_matrix, broken);
    receive(kart.m_netColPos, Position3{inf, 0.0f, 0.0f});
    kart.update(0.01, 0.01);
    EXPECT_POINT_NEAR(kart.m_position, 1.1f, 2.0f, 3.0f, 1e-6);
    for (float f : body->m_poseMatrix.m) EXPECT_TRUE(std::isfinite(f));
    EXPECT_EQ(body->m_poseMode, 1);
    EXPECT_FLOAT_EQ(body->m_poseMatrix.m[12], 1.1f);
}

TEST_F(RemoteKart, HidesItsPickUpAndPlaysOnlyTheAnnouncedSoundsItShould) {
    SceneObject* pickUp = scene.createObject("D:\\Skorvitane/3dobjects_extras/extra_addon.lwo");
    pickUp->setPosition({4.0f, 0.5f, 4.0f});
    kart.pickUpExtra(pickUp);
    kart.update(0.0, 0.01);
    Matrix4x3 world;
    EXPECT_FLOAT_EQ(pickUp->getMatrix(world, 0.0, 1).m[13], -99.5f);
    EXPECT_FLOAT_EQ(pickUp->m_hiddenTime, 10.0f);
    EXPECT_EQ(kart.m_pickUp, nullptr);

    CountingSound* sounds[Vehicle::SOUND_SLOTS] = {};
    for (int id : {4, 7, 10, 12, 18}) kart.m_sounds[id].reset(sounds[id] = new CountingSound);
    receive(kart.m_soundStart, 12);
    receive(kart.m_soundStop, 10);
    kart.update(0.01, 0.01);
    EXPECT_EQ(sounds[12]->plays, 0) << "a speed-up is not heard from a remote kart";
    EXPECT_EQ(sounds[10]->stops, 1);
    receive(kart.m_soundStart, 7);
    receive(kart.m_soundPosition, Position3{3.0f, 4.0f, 5.0f});
    kart.update(0.02, 0.01);
    EXPECT_EQ(sounds[7]->plays, 1);
    EXPECT_POINT_NEAR(sounds[7]->at, 3.0f, 4.0f, 5.0f, 0.0);
    kart.update(0.03, 0.01);
    EXPECT_EQ(sounds[7]->plays, 1) << "played once per announcement";
    EXPECT_EQ(kart.m_soundStart.get(), 0);
    EXPECT_EQ(kart.m_soundStop.get(), 0);
    EXPECT_FALSE(kart.m_soundStart.isChanged()) << "a remote kart never sends what it was told";
}
