// The local kart's reactions to pads, crushers, stampers and explosions, its
// extras and its respawn, on an empty scene with objects made by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/platform/Random.h"
#include "engine/platform/animation/MotionMixer.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/images/ImageTexture.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/Mesh.h"
#include "game/drivers/ControllerAI.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/game/ScriptedDriver.h"

namespace {

// Plays until stopped; remembers where and how often.
class HeldSound : public Sound {
public:
    bool play(bool loop) override {
        ++plays;
        looped = loop;
        m_playing = true;
        return true;
    }
    bool setLoop(bool) override { return true; }
    bool setFrequency(uint32_t) override { return true; }
    bool stop() override {
        m_playing = false;
        return true;
    }
    double getPosition() override { return 0.0; }
    bool setVolume(float) override { return true; }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }
    void set3D(float px, float py, float pz, float, float, float, float, float, float) override { at = {px, py, pz}; }
    int plays = 0;
    bool looped = false;
    Position3 at = {0.0f, 0.0f, 0.0f};
};

constexpr float RADIUS = 0.5f;

::testing::AssertionResult isAt(const Position3& p, float x, float y, float z) {
    if (std::fabs(p.x - x) < 1e-5f && std::fabs(p.y - y) < 1e-5f && std::fabs(p.z - z) < 1e-5f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << p.x << ", " << p.y << ", " << p.z << ")";
}

class KartReactions : public ::testing::Test {
protected:
    KartReactions() {
        Random::reset();
        g_race = &race;
        kart = &addKart(new ScriptedDriver, 0, {0.0f, 0.0f, 0.0f});
        kart->m_object = kart->m_poseObject = scene.createObject("car_Ctrl");
        kart->m_object->m_poseMode = 1;
        for (int axis = SceneItem::SCALE_X; axis <= SceneItem::SCALE_Z; ++axis)
            kart->m_object->m_channels[axis].constant = 0.5f;
        kart->m_colObject = scene.createObject("col");
        for (int id : {2, 7, 10, 12, 16, 17, 18}) kart->m_sounds[id].reset(sounds[id] = new HeldSound);
    }
    ~KartReactions() override {
        for (auto& v : race.m_vehicles) v.reset();
        g_race = nullptr;
    }

    VehicleMaster& addKart(Controller* driver, int32_t index, Position3 at) {
        auto& slot = race.m_vehicles[index];
        slot = std::make_unique<VehicleMaster>("", &scene, std::unique_ptr<Controller>(driver), index,
                                               race.m_vehicleRecord, std::make_unique<VehicleSettings>(0, "none"),
                                               index, RADIUS, 1.0f, client);
        slot->asMaster()->m_newPos = at;
        if (index >= race.m_vehicleCount) race.m_vehicleCount = index + 1;
        return *slot->asMaster();
    }
    // Five tracks of one mixer member each, all at weight 0.5.
    void giveActor() {
        for (int i = 0; i < 5; ++i) {
            mixers.push_back(std::make_unique<MotionMixer>());
            mixers.back()->addChannel(nullptr);
            mixers.back()->setIntensity(0, 0.5f);
            tracks.push_back(std::make_unique<ActorTrack>());
            tracks.back()->addMotionMixerEntry(mixers.back().get(), 0);
            actor.m_tracks.push_back(tracks.back().get());
        }
        kart->m_actor = &actor;
    }
    float weight(int track) const { return mixers[track]->getIntensity(0); }
    // A closed loop of `n` points along +z, one apart.
    static std::vector<Position3> line(int n) {
        std::vector<Position3> points;
        for (int i = 0; i < n; ++i) points.push_back({0.0f, 0.0f, float(i)});
        return points;
    }
    Position3 kartPosition() {
        Position3 p;
        return kart->getPosition(p);
    }

    RecordingView view;
    LW6Scene scene{&view};
    NetControl client;
    Race race;
    VehicleMaster* kart = nullptr;
    HeldSound* sounds[Vehicle::SOUND_SLOTS] = {};
    Actor actor{"moped"};
    std::vector<std::unique_ptr<MotionMixer>> mixers;
    std::vector<std::unique_ptr<ActorTrack>> tracks;
};

} // namespace

TEST_F(KartReactions, PadLaunchesAlongItsUnitAxisAtTheBoostedSpeedEveryContact) {
    SceneObject* pad = scene.createObject("speedup");
    pad->m_channels[SceneItem::HEADING].constant = 0.5f;
    for (int axis = SceneItem::SCALE_X; axis <= SceneItem::SCALE_Z; ++axis) pad->m_channels[axis].constant = 3.0f;
    kart->m_reversing = true;
    kart->onSpeedup(pad);
    EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.435f);
    EXPECT_FLOAT_EQ(kart->m_maxSpeed, 0.435f);
    EXPECT_FLOAT_EQ(kart->m_boost, 3.0f);
    EXPECT_NEAR(kart->m_heading[0], std::sin(0.5f), 1e-5f);
    EXPECT_NEAR(kart->m_heading[2], std::cos(0.5f), 1e-5f);
    EXPECT_NEAR(vectorLength(kart->m_slideVelocity), 1.0f, 1e-5f) << "a scaled pad still gives a unit heading";
    EXPECT_NEAR(kart->m_poseObject->m_channels[SceneItem::HEADING].constant, 0.5f, 1e-5f);
    EXPECT_FALSE(kart->m_reversing);
    EXPECT_EQ(kart->m_soundStart.get(), int(Vehicle::SOUND_SPEEDUP));

    kart->m_curSpeed = 0.1f;
    for (int axis = SceneItem::SCALE_X; axis <= SceneItem::SCALE_Z; ++axis) pad->m_channels[axis].constant = 0.0f;
    pad->invalidate();
    kart->onSpeedup(pad);
    EXPECT_FLOAT_EQ(kart->m_curSpeed, 0.435f) << "relaunched on the next contact";
    EXPECT_NEAR(kart->m_heading[0], std::sin(0.5f), 1e-5f) << "a pad of no size keeps the heading";
    EXPECT_TRUE(std::isfinite(kart->m_heading[2]));
    EXPECT_EQ(sounds[Vehicle::SOUND_SPEEDUP]->plays, 1) << "the playing sound is not restarted";
}

TEST_F(KartReactions, CrusherSquashesOnceUntilItsTimerRunsOutAndStamperIsIndependent) {
    kart->m_trackCrushed = 4;
    kart->onCrusher();
    EXPECT_FLOAT_EQ(kart->m_crusherTimer, 2.0f);
    EXPECT_EQ(kart->m_blendRequest, 2);
    EXPECT_EQ(kart->m_blendTrack, 4);
    EXPECT_FLOAT_EQ(kart->m_blendHold, 2.0f);
    EXPECT_EQ(sounds[Vehicle::SOUND_CRUSH]->plays, 1);

    kart->m_blendRequest = 0;
    kart->update(0.01, 0.01);
    kart->onCrusher();
    EXPECT_EQ(kart->m_blendRequest, 0) << "still squashed: a second crusher contact does nothing";
    EXPECT_FLOAT_EQ(kart->m_crusherTimer, 1.99f);

    kart->onStampfer();
    EXPECT_FLOAT_EQ(kart->m_stamperTimer, 2.0f);
    EXPECT_EQ(kart->m_blendRequest, 2);
    EXPECT_EQ(kart->m_blendTrack, -1) << "the stamped role has no track";

    kart->m_crusherTimer = 0.0f;
    kart->m_blendRequest = 0;
    kart->onCrusher();
    EXPECT_EQ(kart->m_blendTrack, 4);
    EXPECT_EQ(kart->m_blendRequest, 2);
}

TEST_F(KartReactions, SquashEndsExtraAnimationsAndARocketInFlightButNotOneJustFired) {
    giveActor();
    kart->m_trackProtection = 1;
    kart->m_trackShrinker = 2;
    kart->m_trackFroster = 3;
    kart->m_rocketTimer = 0.0f;
    kart->m_extraRocket = 1.0f;
    kart->onCrusher();
    EXPECT_FLOAT_EQ(kart->m_rocketTimer, 0.0f);
    EXPECT_FLOAT_EQ(kart->m_extraRocket.get(), 1.0f);
    for (int track : {1, 2, 3}) EXPECT_EQ(weight(track), 0.0f) << track;
    EXPECT_EQ(weight(0), 0.5f);
    EXPECT_EQ(weight(4), 0.5f);

    kart->m_rocketTimer = 0.5f;
    kart->m_targetLocked = 3;
    kart->m_rocketLockTarget = 3;
    kart->onStampfer();
    EXPECT_FLOAT_EQ(kart->m_rocketTimer, -1.0f);
    EXPECT_FLOAT_EQ(kart->m_extraRocket.get(), 0.0f);
    EXPECT_EQ(kart->m_targetLocked.get(), -1);
    EXPECT_EQ(kart->m_rocketLockTarget, -1);
}

TEST_F(KartReactions, ExplosionShowsItsTypesTextureRestartsItsSoundAndHidesTheShots) {
    Mesh mesh(&view, nullptr);
    Surface surface(nullptr, "flash");
    surface.m_textureLayers.push_back(std::make_unique<TextureLayer>());
    mesh.m_surfaces.push_back(&surface);
    SceneObject* model = scene.createObject("explosion");
    model->addLevelOfDetail(&mesh, 0.0f);
    ImageTexture rocket(nullptr), froster(nullptr), shrinker(nullptr);
    kart->m_explosionObject = model;
    kart->m_explosionTextures[0] = &rocket;
    kart->m_explosionTextures[1] = &froster;
    kart->m_explosionTextures[2] = &shrinker;
    kart->m_rocketObject[0] = scene.createObject("rocket");
    kart->m_rocketPos = Position3{1.0f, 2.0f, 3.0f};
    kart->m_extraFroster = 0.5f;

    kart->m_explosionType = 1;
    kart->startExplosion({4.0f, 5.0f, 6.0f});
    EXPECT_EQ(surface.m_textureLayers[0]->m_texture, &froster);
    EXPECT_FLOAT_EQ(kart->m_explosionTimer, 0.3f);
    EXPECT_TRUE(isAt(kart->m_explosion.get(), 4.0f, 5.0f, 6.0f));
    EXPECT_FLOAT_EQ(kart->m_extraFroster.get(), 0.0f);
    EXPECT_TRUE(isAt(sounds[Vehicle::SOUND_EXPLOSION]->at, 1.0f, 2.0f, 3.0f));
    Matrix4x3 world;
    EXPECT_FLOAT_EQ(kart->m_rocketObject[0]->getMatrix(world, 0.0, 1)[13], -100.0f);
    EXPECT_TRUE(isAt(kart->m_extraShrinkerPos.get(), 0.0f, -100.0f, 0.0f));

    for (int unknown : {-1, 3}) {
        kart->m_explosionType = unknown;
        kart->startExplosion({4.0f, 5.0f, 6.0f});
        EXPECT_EQ(surface.m_textureLayers[0]->m_texture, &froster) << "an unknown type keeps the texture";
    }
    EXPECT_EQ(sounds[Vehicle::SOUND_EXPLOSION]->plays, 3) << "restarted while it plays";
    mesh.m_surfaces.clear();
}

TEST_F(KartReactions, ExtrasDoTheirRowAndEmptyTheHeldExtra) {
    giveActor();
    kart->m_trackProtection = 1;
    kart->m_trackRocket = 2;
    kart->m_newPos = {0.0f, 0.0f, 10.0f};
    kart->m_object->m_poseMatrix[14] = 10.0f;
    kart->m_object->invalidate();

    kart->m_extra = 7;
    kart->m_shrinkTimer = 4.0f;
    kart->useExtra(1.0f);
    EXPECT_EQ(kart->m_extra.get(), 7) << "a shrunk kart keeps its extra";
    kart->m_shrinkTimer = 0.0f;

    kart->m_lastPos = {3.0f, 1.0f, 2.0f};
    kart->m_rocketObject[1] = scene.createObject("rocket");
    kart->useExtra(1.0f);
    EXPECT_EQ(kart->m_extra.get(), 0);
    EXPECT_TRUE(isAt(kart->m_rocketPos.get(), 3.0f, 2.2f, 2.0f));
    EXPECT_FLOAT_EQ(kart->m_rocketTimer, 0.0f);
    EXPECT_FLOAT_EQ(kart->m_extraRocket.get(), 1.0f);
    EXPECT_EQ(weight(2), 1.0f);
    EXPECT_FLOAT_EQ(mixers[2]->getOffset(0), 1.0f);
    Matrix4x3 world;
    EXPECT_FLOAT_EQ(kart->m_rocketObject[1]->getMatrix(world, 0.0, 1)[13], -100.0f);

    mixers[1]->setSpeed(0, 0.25f);
    kart->m_extra = 1;
    kart->useExtra(2.5f);
    EXPECT_TRUE(sounds[Vehicle::SOUND_PROTECTION]->looped);
    EXPECT_FLOAT_EQ(kart->m_protectionTime, 9.5f);
    EXPECT_FLOAT_EQ(mixers[1]->getSpeed(0), 1.0f);
    EXPECT_FLOAT_EQ(mixers[1]->getOffset(0), 2.5f);

    kart->m_extra = 2;
    kart->useExtra(3.0f);
    EXPECT_TRUE(isAt(sounds[Vehicle::SOUND_THROW]->at, 0.0f, 0.0f, 9.0f)) << "thrown behind the kart";
    EXPECT_TRUE(isAt(kart->m_soundPosition.get(), 0.0f, 0.0f, 10.0f));

    for (int kind : {8, 9, 13}) {
        kart->m_soundStart = -1;
        kart->m_extra = kind;
        kart->useExtra(4.0f);
        EXPECT_EQ(kart->m_extra.get(), 0) << kind;
        EXPECT_EQ(kart->m_soundStart.get(), -1) << kind;
    }
    EXPECT_FLOAT_EQ(kart->m_rocketTimer, 0.0f);
}

TEST_F(KartReactions, RespawnStandsThreePointsBackFacingTheNextAndResetsTheKart) {
    kart->m_respawnPoints.clear();
    for (int i = 0; i < 20; ++i) kart->m_respawnPoints.push_back({float(i), 0.0f, float(i) * float(i)});
    kart->m_object->m_poseMatrix[12] = 1.2f;
    kart->m_object->m_poseMatrix[14] = 1.1f;
    kart->m_object->invalidate();
    kart->m_curSpeed = kart->m_maxSpeed = 0.435f;
    kart->m_fallSpeed = -0.3f;
    kart->m_extra = 5;
    kart->m_protectionTime = 4.0f;
    kart->m_rocketTimer = 0.2f;
    kart->m_extraRocket = 1.0f;
    sounds[Vehicle::SOUND_PROTECTION]->play(true);

    kart->respawn();
    const float along[3] = {1.0f, 0.0f, 19.0f * 19.0f - 18.0f * 18.0f};
    const float unit = vectorLength(along);
    EXPECT_NEAR(kart->m_heading[0], 1.0f / unit, 1e-6f) << "facing point 19 from point 18";
    EXPECT_NEAR(kart->m_heading[2], along[2] / unit, 1e-6f);
    EXPECT_TRUE(isAt(kart->m_lastPos, 18.0f, 0.2f, 324.0f));
    EXPECT_TRUE(isAt(kart->m_newPos, 18.0f, 0.2f, 324.0f));
    EXPECT_TRUE(isAt(kartPosition(), 18.0f, 0.2f, 324.0f));
    const Matrix4x3& pose = kart->m_matrix.get();
    EXPECT_NEAR(pose[8], 0.5f * kart->m_heading[0], 1e-6f) << "the drawn pose faces the new way, scale kept";
    EXPECT_NEAR(pose[10], 0.5f * kart->m_heading[2], 1e-6f);
    EXPECT_EQ(kart->m_object->m_poseMatrix[14], pose[14]);
    Matrix4x3 world;
    EXPECT_FLOAT_EQ(kart->m_colObject->getMatrix(world, 0.0, 1)[14], 324.0f);
    EXPECT_NEAR(kart->m_netAngle.get(), std::atan2(1.0f, along[2]), 1e-6f);
    EXPECT_EQ(kart->m_curSpeed, 0.0f);
    EXPECT_FLOAT_EQ(kart->m_maxSpeed, 0.29f);
    EXPECT_EQ(kart->m_fallSpeed, 0.0f);
    EXPECT_EQ(kart->m_extra.get(), 0);
    EXPECT_EQ(kart->m_protectionTime, 0.0f);
    EXPECT_FALSE(sounds[Vehicle::SOUND_PROTECTION]->isPlaying());
    EXPECT_EQ(kart->m_soundStop.get(), int(Vehicle::SOUND_PROTECTION));
    EXPECT_EQ(kart->m_soundStart.get(), int(Vehicle::SOUND_RESPAWN));
    EXPECT_FLOAT_EQ(kart->m_rocketTimer, -1.0f);
    EXPECT_FLOAT_EQ(kart->m_extraRocket.get(), 0.0f);
    EXPECT_EQ(kart->m_blendRequest, 1);
    EXPECT_TRUE(kart->m_cameraReset.get());
}

TEST_F(KartReactions, RespawnSkipsTakenPointsAndStaysBoundedOnAnyList) {
    Position3 at;
    float d[3];
    kart->m_respawnPoints = line(20);
    kart->m_newPos = {0.0f, 0.0f, 1.0f};
    kart->m_object = kart->m_poseObject = nullptr;
    addKart(new ScriptedDriver, 2, {0.0f, 0.0f, 18.3f});
    ASSERT_TRUE(kart->findRespawnPoint(at, d));
    EXPECT_TRUE(isAt(at, 0.0f, 0.2f, 15.0f)) << "point 18 is taken, so three further back";

    for (int i = 0; i < 20; ++i) kart->m_respawnPoints[i] = {0.0f, 0.0f, 18.0f};
    ASSERT_TRUE(kart->findRespawnPoint(at, d)) << "every point taken still ends";
    EXPECT_TRUE(isAt(at, 0.0f, 0.2f, 18.0f));
    EXPECT_FLOAT_EQ(d[2], 1.0f) << "two equal points keep the heading";

    kart->m_respawnPoints = line(2);
    kart->m_newPos = {0.0f, 0.0f, 0.0f};
    ASSERT_TRUE(kart->findRespawnPoint(at, d));
    EXPECT_TRUE(isAt(at, 0.0f, 0.2f, 1.0f)) << "0 - 3 taken modulo two points";
    EXPECT_FLOAT_EQ(d[2], -1.0f) << "the loop closes back to the first point";

    kart->m_respawnPoints.clear();
    kart->m_curSpeed = 0.2f;
    kart->respawn();
    EXPECT_EQ(kart->m_curSpeed, 0.0f);
    EXPECT_TRUE(isAt(kart->m_newPos, 0.0f, 0.0f, 0.0f)) << "no points: the kart stops where it is";
    EXPECT_FALSE(kart->findRespawnPoint(at, d));
}

TEST_F(KartReactions, ComputerRespawnTakesARandomPathFiveBackAndSetsThePathIndex) {
    auto* driver = new ControllerAI(nullptr, nullptr, 1, nullptr);
    VehicleMaster& ai = addKart(driver, 1, {0.0f, 0.0f, 7.1f});
    ai.m_radius = 3.0f;
    kart->m_object->m_poseMatrix[12] = 100.0f;
    kart->m_object->invalidate();
    const int path = Random::next() % ControllerAI::PATHS;
    Random::reset();
    driver->m_paths[path] = line(10);
    ai.respawn();
    EXPECT_EQ(driver->m_pathNumber, path);
    EXPECT_EQ(driver->m_pathIndex, 2);
    EXPECT_TRUE(isAt(ai.m_lastPos, 0.0f, 0.2f, 2.0f)) << "its own position never blocks a point";

    for (auto& points : driver->m_paths) points.clear();
    Position3 at;
    float d[3];
    EXPECT_FALSE(ai.findRespawnPointAI(at, d)) << "an empty path is no place to go";
}
