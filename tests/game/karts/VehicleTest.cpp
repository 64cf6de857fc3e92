// The kart base on an empty scene: its replicated values, the extras draw and pick-up.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "engine/platform/Random.h"
#include "engine/scene/LW6Scene.h"
#include "game/karts/RiderValueIds.h"
#include "game/karts/VehicleClient.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/ReportCapture.h"

#include "tests/game/ScriptedDriver.h"

namespace {

class VehicleBase : public ReportCapture<3> {
protected:
    std::unique_ptr<VehicleMaster> master(int index, NetControl& client) {
        return std::make_unique<VehicleMaster>("moped.lwo", &scene, std::make_unique<ScriptedDriver>(), index,
                                               race.m_vehicleRecord, std::make_unique<VehicleSettings>(0, "none"),
                                               index, 0.75f, 1.0f, client);
    }
    void SetUp() override {
        ReportCapture<3>::SetUp();
        g_race = &race;
    }
    void TearDown() override {
        for (auto& v : race.m_vehicles) v.reset();
        g_race = nullptr;
        ReportCapture<3>::TearDown();
    }

    RecordingView view;
    LW6Scene scene{&view};
    NetControl net;
    Race race;
};

} // namespace

TEST_F(VehicleBase, SevenRidersRegisterDistinctNidsAndStartCleared) {
    std::vector<std::unique_ptr<VehicleMaster>> karts;
    for (int i = 0; i <= 6; ++i) karts.push_back(master(i, net));
    EXPECT_EQ(lastError().find("getValueId"), std::string::npos) << "a nid given twice";
    for (int i = 0; i <= 6; ++i) EXPECT_NE(net.getValueId(i == 6 ? 1459 : 32 + i), nullptr);
    EXPECT_NE(net.getValueId(1403), nullptr);
    VehicleMaster& fresh = *karts[6];
    EXPECT_EQ(fresh.m_lap.get(), -1);
    EXPECT_EQ(fresh.m_targetLocked.get(), -1);
    EXPECT_TRUE(fresh.m_cameraReset.get());
    EXPECT_EQ(fresh.m_sectorMask, 0xFFFEu);
    EXPECT_EQ(fresh.m_trackLeft, -1) << "no actor, no track";
    // A new kart floats with a speed just below zero and faces +z.
    EXPECT_TRUE(fresh.m_airborne);
    EXPECT_LT(fresh.m_curSpeed, 0.0f);
    EXPECT_FLOAT_EQ(fresh.getDirection()[2], 1.0f);
    // Only a master answers as one, and the client as a client.
    NetControl other;
    VehicleClient remote("moped.lwo", &scene, std::make_unique<ScriptedDriver>(), 0, race.m_vehicleRecord, nullptr, 0,
                         0.75f, 1.0f, other);
    EXPECT_EQ(karts[0]->asClient(), nullptr);
    EXPECT_EQ(remote.asMaster(), nullptr);
    EXPECT_EQ(remote.asClient(), &remote);
}

TEST_F(VehicleBase, ExtrasAreDrawnByPlaceAndNeverKindsEightOrNine) {
    race.m_vehicles[0] = master(0, net);
    race.m_vehicleCount = 2;
    Vehicle& kart = *race.m_vehicles[0];
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(kart.chooseExtra());
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 10, 11, 12}));

    // A place from the network outside the table draws as the leader does.
    Random::reset();
    const int leader = kart.chooseExtra();
    kart.m_rank.set(77);
    Random::reset();
    EXPECT_EQ(kart.chooseExtra(), leader);
    Random::reset();
    const int first = Random::next() % 100;
    EXPECT_EQ(leader, first < 25 ? 1 : first < 30 ? 2 : first < 40 ? 3 : first < 50 ? 4 : first < 55 ? 5
                      : first < 65 ? 6 : first < 80 ? 7 : first < 85 ? 10 : first < 95 ? 11 : 12);
}

TEST_F(VehicleBase, PickUpReplacesTheExtraAndAnnouncesEveryTime) {
    race.m_vehicles[0] = master(0, net);
    race.m_vehicleCount = 1;
    Vehicle& kart = *race.m_vehicles[0];
    kart.setExtra(9);
    SceneObject* box = scene.createObject("D:\\Skorvitane/3dobjects_extras/extra_addon.lwo");
    net.sendChangedValues();
    for (int round = 0; round < 2; ++round) {
        kart.pickUpExtra(box);
        EXPECT_NE(kart.m_extra.get(), 9);
        EXPECT_EQ(kart.m_soundStart.get(), Vehicle::SOUND_PICKUP);
        EXPECT_TRUE(kart.m_soundStart.isChanged()) << "round " << round;
        EXPECT_EQ(kart.m_pickUp, box);
        kart.m_soundStart.commit();
        kart.m_extra.set(9);
    }
}

TEST_F(VehicleBase, ARiderTakesFromTheNetworkOnlyWhatOtherComputersMayWriteOfIt) {
    const std::unique_ptr<VehicleMaster> ridden = master(3, net);
    NetControl other;
    VehicleClient followed("moped.lwo", &scene, std::make_unique<ScriptedDriver>(), 3, race.m_vehicleRecord, nullptr, 0,
                           0.75f, 1.0f, other);
    // Every value it registers lies where the lobby server looks for rider 3's, and nothing else does.
    int registered = 0, ofRider = 0;
    const uint32_t both = NetValueBase::FLAG_RECEIVE | NetValueBase::FLAG_SEND;
    for (int32_t nid = 0; nid < NetProtocol::MAX_NID; ++nid) {
        registered += net.getValueId(nid) != nullptr;
        if (RiderValueIds::riderOf(nid) != 3) continue;
        ++ofRider;
        NetValueBase* value = net.getValueId(nid);
        ASSERT_NE(value, nullptr) << nid;
        EXPECT_EQ(value->size(), RiderValueIds::sizeOf(nid)) << nid;
        EXPECT_EQ(value->getFlags(), RiderValueIds::othersWrite(nid) ? both : NetValueBase::FLAG_SEND) << nid;
        EXPECT_EQ(other.getValueId(nid)->getFlags(), RiderValueIds::othersWrite(nid) ? both : NetValueBase::FLAG_RECEIVE)
            << nid;
    }
    EXPECT_EQ(registered, ofRider);
    EXPECT_EQ(ofRider, 3 * Vehicle::MOTION_TRACKS + 3 * Vehicle::SOAP_SLOTS + 48);

    // A forged lap or finish changes nothing where the rider is ridden; the victim's end of its rocket does.
    const int32_t lap = 7, none = -1;
    const bool finished = true;
    ridden->m_lap.setData(reinterpret_cast<const uint8_t*>(&lap), sizeof lap);
    ridden->m_trackFinished.setData(reinterpret_cast<const uint8_t*>(&finished), 1);
    ridden->m_targetLocked = 2;
    ridden->m_targetLocked.setData(reinterpret_cast<const uint8_t*>(&none), sizeof none);
    for (NetValueBase* value : {static_cast<NetValueBase*>(&ridden->m_lap), static_cast<NetValueBase*>(&ridden->m_trackFinished),
                                static_cast<NetValueBase*>(&ridden->m_targetLocked)})
        value->commit();
    EXPECT_EQ(ridden->m_lap.get(), -1);
    EXPECT_FALSE(ridden->m_trackFinished.get());
    EXPECT_EQ(ridden->m_targetLocked.get(), -1);
    // Where it is followed, its state comes from its own computer and nothing of it is sent from here.
    followed.m_active.set(true);
    EXPECT_FALSE(followed.m_active.isChanged());
}
