// The flights of fired extras and their hits on the karts the race simulates,
// on karts without a scene whose positions the tests set.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "tests/game/ScriptedDriver.h"

namespace {

constexpr double STEP = 0.01;
const Position3 OUT_OF_SIGHT = {0.0f, -100.0f, 0.0f};

::testing::AssertionResult isAt(const Position3& p, const Position3& q, float tolerance = 1e-4f) {
    if (std::fabs(p.x - q.x) < tolerance && std::fabs(p.y - q.y) < tolerance && std::fabs(p.z - q.z) < tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << p.x << ", " << p.y << ", " << p.z << ")";
}

class ExtraHits : public ::testing::Test {
protected:
    ExtraHits() { g_race = &race; }
    ~ExtraHits() override {
        for (auto& v : race.m_vehicles) v.reset();
        g_race = nullptr;
    }

    // Rider `m_vehicleCount` at the place, active, ranked by its index, heading +z.
    VehicleMaster& addKart(Position3 at) {
        const int32_t index = race.m_vehicleCount++;
        drivers[index] = new ScriptedDriver;
        race.m_vehicles[index] = std::make_unique<VehicleMaster>(
            "", nullptr, std::unique_ptr<Controller>(drivers[index]), index, race.m_vehicleRecord,
            std::make_unique<VehicleSettings>(0, "none"), index, 0.5f, 1.0f, client);
        VehicleMaster& kart = *race.m_vehicles[index]->asMaster();
        put(kart, at);
        kart.m_active = true;
        kart.m_rank = index;
        kart.m_trackCrash = 0;
        return kart;
    }
    static void put(VehicleMaster& kart, Position3 at) {
        kart.m_newPos = at;
        kart.m_netPos = at;
    }
    // Steps on flat ground at height 0.
    static void drive(VehicleMaster& kart, double seconds) {
        for (double t = 0.0; t < seconds - STEP / 2; t += STEP) {
            for (int wheel = 0; wheel < Vehicle::WHEELS; ++wheel) kart.m_rayHeight[wheel] = 0.0f;
            kart.update(t, STEP);
        }
    }
    void frames(double seconds, double frame = 0.02) {
        for (double t = 0.0; t < seconds - frame / 2; t += frame) {
            race.moveExtras(frame);
            race.updateExtraHits();
        }
    }

    NetControl client;
    Race race;
    ScriptedDriver* drivers[Race::MAX_VEHICLES] = {};
};

TEST_F(ExtraHits, ExtrasOfDifferentKindsHitInOneFrameInTableOrderEachOnlyWhileItsTimerIsIdle) {
    VehicleMaster& victim = addKart({0.0f, 0.0f, 0.0f});
    VehicleMaster& user = addKart({4.0f, 0.0f, 0.0f});
    user.m_extraSoap[2] = 0.5f;
    user.m_extraSoapPos[2] = Position3{0.0f, 0.0f, 2.9f};
    user.m_extraShrinker = 0.5f;
    user.m_extraShrinkerPos = Position3{2.0f, 0.0f, 0.0f};
    user.m_extraFlash = 1.0f;
    victim.m_extraFroster = 0.5f;
    race.updateExtraHits();

    EXPECT_FLOAT_EQ(victim.m_soapTimer, 5.0f);
    EXPECT_FLOAT_EQ(victim.m_shrinkTimer, 10.0f);
    EXPECT_FLOAT_EQ(victim.m_flashTimer, 2.5f);
    EXPECT_EQ(victim.m_soundStart.get(), int(Vehicle::SOUND_FLASHED)) << "the flash is tested after the shrinker";
    EXPECT_EQ(victim.m_explosionType.get(), int(Vehicle::EXPLOSION_SHRINKER));
    EXPECT_TRUE(isAt(victim.m_explosion.get(), {2.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(victim.m_explosionTimer, 0.3f);
    EXPECT_EQ(victim.m_extraFroster.get(), 0.0f) << "the explosion ends the victim's own shot";
    EXPECT_EQ(user.m_extraShrinker.get(), 0.5f) << "the shot flies on";
    EXPECT_EQ(user.m_extraSoap[2].get(), 0.5f) << "the bubble stays";
    EXPECT_EQ(victim.m_frozenTimer, 0.0f);
    EXPECT_EQ(user.m_shrinkTimer, 0.0f) << "a rider is never hit by its own extras";

    victim.m_shrinkTimer = 4.0f;
    victim.m_flashTimer = 0.0f;
    victim.m_explosionTimer = 0.0f;
    user.m_extraSoapPos[2] = Position3{0.0f, 0.0f, 3.0f};
    victim.m_soapTimer = 0.0f;
    race.updateExtraHits();
    EXPECT_FLOAT_EQ(victim.m_shrinkTimer, 4.0f) << "a running timer is not restarted";
    EXPECT_EQ(victim.m_explosionTimer, 0.0f);
    EXPECT_FLOAT_EQ(victim.m_flashTimer, 2.5f);
    EXPECT_EQ(victim.m_soapTimer, 0.0f) << "3.0 away is outside the radius";
}

TEST_F(ExtraHits, ProtectionLeavesOnlyTheRocketsClearing) {
    VehicleMaster& victim = addKart({0.0f, 0.0f, 0.0f});
    VehicleMaster& user = addKart({5.0f, 0.0f, 0.0f});
    victim.m_protectionTime = 4.0f;
    user.m_targetLocked = 0;
    user.m_rocketFired = 1;
    user.m_extraRocket = 1.0f;
    user.m_rocketPos = Position3{0.0f, 1.2f, 1.0f};
    user.m_extraSoap[0] = 0.5f;
    user.m_extraSoapPos[0] = Position3{0.0f, 0.0f, 0.0f};
    user.m_extraFroster = 0.5f;
    user.m_extraFrosterPos = Position3{0.0f, 0.0f, 0.0f};
    user.m_extraShrinker = 0.5f;
    user.m_extraShrinkerPos = Position3{0.0f, 0.0f, 0.0f};
    user.m_extraFlash = 1.0f;
    user.m_extraWeight = 1.0f;
    user.m_extraMinePos = Position3{0.0f, 0.0f, 0.5f};
    user.m_effectMagnetPos = Position3{1.0f, 0.0f, 0.0f};
    race.updateExtraHits();

    EXPECT_EQ(user.m_targetLocked.get(), -1);
    EXPECT_EQ(user.m_rocketFired.get(), 0);
    EXPECT_EQ(user.m_extraRocket.get(), 0.0f);
    EXPECT_EQ(victim.m_rocketIndex.get(), 1);
    EXPECT_EQ(victim.m_soundStart.get(), int(Vehicle::SOUND_EXPLOSION)) << "sound 2 only";
    for (float timer : {victim.m_rocketHitTimer, victim.m_soapTimer, victim.m_frozenTimer, victim.m_shrinkTimer,
                        victim.m_flashTimer, victim.m_mineTimer, victim.m_magnetTimer, victim.m_weightTimer})
        EXPECT_EQ(timer, 0.0f);
    EXPECT_EQ(victim.m_blendRequest, 0) << "no hit motion";
    EXPECT_EQ(victim.m_explosionTimer, 0.0f);
    EXPECT_TRUE(isAt(user.m_extraMinePos.get(), {0.0f, 0.0f, 0.5f})) << "the mine is still there";
    EXPECT_EQ(victim.m_extraMineIndex.get(), -1);

    victim.m_protectionTime = 0.0f;
    race.updateExtraHits();
    EXPECT_FLOAT_EQ(victim.m_mineTimer, 1.0f);
    EXPECT_FLOAT_EQ(victim.m_frozenTimer, 3.0f);
    EXPECT_EQ(victim.m_rocketHitTimer, 0.0f) << "the rocket was spent on the protection";
}

TEST_F(ExtraHits, RocketReachingItsShooterExplodesThereAndOneReachingAnotherRiderDoesNot) {
    VehicleMaster& shooter = addKart({0.0f, 0.0f, 0.0f});
    VehicleMaster& other = addKart({20.0f, 0.0f, 0.0f});
    const Position3 rocketAt = {0.0f, 1.2f, 2.0f};
    shooter.m_rocketTimer = 2.0f;
    shooter.m_extraRocket = 1.0f;
    shooter.m_rocketFired = 1;
    shooter.m_targetLocked = 0;
    shooter.m_rocketPos = rocketAt;
    race.updateExtraHits();
    EXPECT_TRUE(isAt(shooter.m_explosion.get(), rocketAt));
    EXPECT_FLOAT_EQ(shooter.m_explosionTimer, 0.3f);
    EXPECT_EQ(shooter.m_explosionType.get(), int(Vehicle::EXPLOSION_ROCKET));
    EXPECT_EQ(shooter.m_rocketTimer, -1.0f);
    EXPECT_EQ(shooter.m_extraRocket.get(), 0.0f);
    EXPECT_FLOAT_EQ(shooter.m_rocketHitTimer, 1.0f);
    EXPECT_EQ(shooter.m_blendRequest, 2);
    EXPECT_FLOAT_EQ(shooter.m_blendHold, 1.0f);
    EXPECT_EQ(shooter.m_soundStart.get(), int(Vehicle::SOUND_EXPLOSION));

    other.m_rocketFired = 1;
    other.m_extraRocket = 1.0f;
    other.m_targetLocked = 0;
    other.m_rocketPos = Position3{0.0f, 1.2f, -2.0f};
    race.updateExtraHits();
    EXPECT_EQ(other.m_rocketFired.get(), 1) << "the shooter's rocket-hit timer still runs";

    shooter.m_rocketHitTimer = 0.0f;
    shooter.m_explosionTimer = 0.0f;
    race.updateExtraHits();
    EXPECT_EQ(other.m_rocketFired.get(), 0);
    EXPECT_EQ(shooter.m_rocketIndex.get(), 1);
    EXPECT_FLOAT_EQ(shooter.m_rocketHitTimer, 1.0f);
    EXPECT_EQ(shooter.m_soundStart.get(), int(Vehicle::SOUND_HIT));
    EXPECT_EQ(shooter.m_explosionTimer, 0.0f);
    EXPECT_EQ(other.m_explosionTimer, 0.0f);
}

TEST_F(ExtraHits, OnlyTheFirstRiderAtAMineOrMagnetIsCaughtAndTheClaimEndsWithTheTimer) {
    VehicleMaster& owner = addKart({50.0f, 0.0f, 0.0f});
    VehicleMaster& first = addKart({0.0f, 0.0f, 0.0f});
    VehicleMaster& second = addKart({0.0f, 0.0f, 1.0f});
    owner.m_extraMinePos = Position3{0.0f, 0.0f, 0.5f};
    owner.m_effectMagnetPos = Position3{0.0f, 0.0f, 2.0f};
    race.updateExtraHits();

    EXPECT_FLOAT_EQ(first.m_mineTimer, 1.0f);
    EXPECT_EQ(first.m_extraMineIndex.get(), 0);
    EXPECT_EQ(first.m_soundStart.get(), int(Vehicle::SOUND_HIT));
    EXPECT_EQ(first.m_blendRequest, 2);
    EXPECT_TRUE(isAt(owner.m_extraMinePos.get(), OUT_OF_SIGHT)) << "the mine is spent";
    EXPECT_FLOAT_EQ(first.m_magnetTimer, 2.7f);
    EXPECT_TRUE(isAt(first.m_magnetPull, {0.0f, 0.0f, 2.0f}));
    EXPECT_EQ(second.m_mineTimer, 0.0f);
    EXPECT_EQ(second.m_magnetTimer, 0.0f) << "the magnet holds the first rider";
    owner.m_extraMinePos = Position3{0.0f, 0.0f, 0.5f};
    race.updateExtraHits();
    EXPECT_EQ(second.m_mineTimer, 0.0f) << "a stale mine position from the network is still claimed";

    drive(first, 2.75);
    EXPECT_EQ(first.m_extraMineIndex.get(), -1);
    EXPECT_EQ(first.m_effectMagnetObjectIndex.get(), -1);
    put(first, {30.0f, 0.0f, 0.0f});
    race.updateExtraHits();
    EXPECT_FLOAT_EQ(second.m_magnetTimer, 2.7f) << "a freed magnet catches the next rider";
}

TEST_F(ExtraHits, DroppedSoapStaysAndCatchesASecondRiderUntilItBursts) {
    VehicleMaster& user = addKart({0.0f, 0.0f, 0.0f});
    VehicleMaster& first = addKart({30.0f, 0.0f, 0.0f});
    VehicleMaster& second = addKart({-30.0f, 0.0f, 0.0f});
    user.m_extra = 11;
    user.useExtra(0.0f);
    race.moveExtras(STEP);
    EXPECT_TRUE(isAt(user.m_extraSoapPos[0].get(), {-1.5f, 0.0f, -2.0f}));
    EXPECT_TRUE(isAt(user.m_extraSoapPos[1].get(), {0.0f, 0.0f, -2.0f}));
    EXPECT_TRUE(isAt(user.m_extraSoapPos[2].get(), {1.5f, 0.0f, -2.0f}));

    put(user, {0.0f, 0.0f, 40.0f});
    put(first, {0.0f, 0.0f, -2.5f});
    frames(1.0);
    EXPECT_FLOAT_EQ(first.m_soapTimer, 5.0f);
    EXPECT_TRUE(isAt(user.m_extraSoapPos[1].get(), {0.0f, 0.0f, -2.0f})) << "the bubbles stay where they fell";
    put(second, {0.5f, 0.0f, -1.5f});
    frames(1.0);
    EXPECT_FLOAT_EQ(second.m_soapTimer, 5.0f);

    frames(10.0);
    for (int k = 0; k < Vehicle::SOAP_SLOTS; ++k) {
        EXPECT_EQ(user.m_extraSoap[k].get(), 0.0f);
        EXPECT_TRUE(isAt(user.m_extraSoapPos[k].get(), OUT_OF_SIGHT));
    }
}

TEST_F(ExtraHits, FiredRocketLeavesStraightThenHomesOnTheRiderAheadAndHitsIt) {
    VehicleMaster& target = addKart({0.0f, 0.0f, 20.0f});
    VehicleMaster& shooter = addKart({0.0f, 0.0f, 0.0f});
    shooter.m_lastPos = {0.0f, 0.0f, 0.0f};
    shooter.m_extra = 7;
    shooter.useExtra(0.0f);
    frames(0.5);
    EXPECT_EQ(shooter.m_rocketFired.get(), 0) << "not armed while it leaves";
    EXPECT_EQ(target.m_rocketHitTimer, 0.0f) << "it passed over the rider unarmed";
    EXPECT_TRUE(isAt(shooter.m_rocketPos.get(), {0.0f, 1.2f, 20.0f}, 0.05f));

    double flown = 0.5;
    while (target.m_rocketHitTimer == 0.0f && flown < 3.0) {
        frames(0.02);
        flown += 0.02;
        if (shooter.m_rocketFired.get() != 0) {
            EXPECT_EQ(shooter.m_targetLocked.get(), 0);
        }
    }
    EXPECT_FLOAT_EQ(target.m_rocketHitTimer, 1.0f);
    EXPECT_LT(flown, 2.0);
    EXPECT_EQ(target.m_rocketIndex.get(), 1);
    race.moveExtras(0.02);
    EXPECT_EQ(shooter.m_rocketTimer, -1.0f);
    EXPECT_EQ(shooter.m_targetLocked.get(), -1);
    EXPECT_EQ(shooter.m_explosionTimer, 0.0f) << "a rocket hitting another rider does not explode";
}

TEST_F(ExtraHits, RocketWithoutTargetBurstsAfterItsTimeAndOneStoppedByAWallLeavesNothingArmed) {
    VehicleMaster& shooter = addKart({0.0f, 0.0f, 0.0f});
    shooter.m_rank = 3;
    shooter.m_extra = 7;
    shooter.useExtra(0.0f);
    frames(4.9);
    EXPECT_EQ(shooter.m_rocketFired.get(), 1);
    EXPECT_EQ(shooter.m_targetLocked.get(), -1) << "nobody ranked just ahead";
    EXPECT_TRUE(isAt(shooter.m_rocketPos.get(), {0.0f, 1.2f, 196.0f}, 0.1f));
    frames(0.2);
    EXPECT_FLOAT_EQ(shooter.m_explosionTimer, 0.3f);
    EXPECT_NEAR(shooter.m_explosion.get().z, 200.0f, 1.0f);
    EXPECT_EQ(shooter.m_rocketFired.get(), 0);

    shooter.m_rank = 0;
    shooter.m_extra = 7;
    shooter.useExtra(10.0f);
    frames(1.1);
    EXPECT_EQ(shooter.m_targetLocked.get(), 0) << "the leader's rocket comes for the leader";
    shooter.startExplosion(shooter.m_rocketPos.get());
    frames(0.02);
    EXPECT_EQ(shooter.m_rocketFired.get(), 0);
    EXPECT_EQ(shooter.m_targetLocked.get(), -1);
    EXPECT_EQ(shooter.m_rocketHitTimer, 0.0f);
}

TEST_F(ExtraHits, HeldPulledAndWeightedKartDrivesAgainWhenItsTimersRunOut) {
    VehicleMaster& owner = addKart({10.0f, 0.0f, 0.0f});
    VehicleMaster& kart = addKart({0.0f, 0.0f, 0.0f});
    owner.m_extraMinePos = Position3{0.0f, 0.0f, 0.5f};
    owner.m_effectMagnetPos = Position3{3.0f, 0.0f, 0.0f};
    owner.m_extraWeight = 1.0f;
    race.updateExtraHits();
    ASSERT_FLOAT_EQ(kart.m_weightTimer, 3.0f);
    drivers[1]->gas = 1;

    drive(kart, 0.98);
    EXPECT_EQ(kart.m_curSpeed, 0.0f) << "the mine holds it";
    EXPECT_NEAR(kart.m_netPos.get().x, 3.0f, 1e-4f) << "pulled onto the magnet, never past it";
    EXPECT_NEAR(kart.m_netPos.get().z, 0.0f, 1e-4f);
    drive(kart, 0.04);
    EXPECT_GT(kart.m_curSpeed, 0.0f);

    kart.m_curSpeed = 0.29f;
    drive(kart, 0.01);
    EXPECT_FLOAT_EQ(kart.m_curSpeed, 0.145f) << "half the top speed under the weight";
    drive(kart, 1.9);
    EXPECT_FLOAT_EQ(kart.m_curSpeed, 0.145f);
    drive(kart, 0.1);
    EXPECT_EQ(kart.m_effectWeightObjectIndex.get(), -1);
    EXPECT_EQ(kart.m_weightTimer, 0.0f);
    EXPECT_GT(kart.m_curSpeed, 0.145f);
    for (float timer : {kart.m_mineTimer, kart.m_magnetTimer, kart.m_rocketHitTimer})
        EXPECT_EQ(timer, 0.0f);
}

} // namespace
