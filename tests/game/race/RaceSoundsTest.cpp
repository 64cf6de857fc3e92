// The race's sounds, pick-ups and illumination tint on races built by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/images/Image.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "game/drivers/Controller.h"
#include "game/karts/Vehicle.h"
#include "game/karts/VehicleSettings.h"
#include "game/maps/IlluminationMap.h"
#include "net/NetControl.h"
#include "tests/game/race/RaceTestSupport.h"
#include "tests/support/NamedStream.h"
#include "tools/demodata/mopeds/MopedNames.h"

namespace {

// Keeps what the race last asked of it.
class RecordingSound : public Sound {
public:
    bool play(bool loop) override {
        m_playing = true;
        m_looped = loop;
        return true;
    }
    bool stop() override {
        m_playing = false;
        return true;
    }
    bool setVolume(float volume) override {
        m_volume = volume;
        return true;
    }
    bool setFrequency(uint32_t hz) override {
        m_frequency = hz;
        return true;
    }
    void set3D(float px, float py, float pz, float, float, float, float, float, float) override { m_at = {px, py, pz}; }
    void setDistances(float minimum, float maximum) override {
        m_near = minimum;
        m_far = maximum;
    }
    void set3DEnabled(bool on) override { m_3D = on; }
    bool setLoop(bool) override { return true; }
    double getPosition() override { return 0.0; }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

    bool m_looped = false;
    bool m_3D = true;
    float m_volume = -1.0f;
    uint32_t m_frequency = 0;
    Position3 m_at = {0.0f, 0.0f, 0.0f};
    float m_near = 0.0f, m_far = 0.0f;
};

class ListeningDevice : public SoundDevice {
public:
    std::unique_ptr<Sound> createSound(SampleStream*, uint32_t) override { return nullptr; }
    void setListener(float px, float py, float pz, float, float, float, float, float, float, float, float,
                     float) override {
        m_ear = {px, py, pz};
    }
    Position3 m_ear = {0.0f, 0.0f, 0.0f};
};

// A rider standing where the test puts it, at the speed the test gives it.
class StandingRider : public Vehicle {
public:
    StandingRider(Race& race, int32_t index, NetControl& client, const std::string& mopedFile = "",
                  LW6Scene* scene = nullptr)
        : Vehicle(mopedFile, scene, nullptr, index, race.m_vehicleRecord, std::make_unique<VehicleSettings>(0, ""),
                  index, 0.75f, 1.0f, client) {}
    Position3& getPosition(Position3& out) override { return out = m_at; }
    const float* getDirection() override { return m_heading; }
    float getSpeed() override { return m_now; }
    void update(double, double) override {}
    void animate(double) override {}
    using Vehicle::hidePickUp;

    Position3 m_at = {0.0f, 0.0f, 0.0f};
    float m_heading[3] = {0.0f, 0.0f, 1.0f};
    float m_now = 0.0f;
};

class RaceSounds : public ::testing::Test {
protected:
    void SetUp() override {
        g_race = &m_race;
        m_race.m_config = &m_config;
        m_race.m_metaScene = std::make_unique<MetaScene>(nullptr, "metascene");
    }
    void TearDown() override {
        for (auto& vehicle : m_race.m_vehicles) vehicle.reset();
        g_race = nullptr;
    }
    // An empty track with one camera per view.
    LW6Scene& emptyTrack() {
        auto* scene = new LW6Scene(m_race.m_metaScene.get());
        m_race.m_metaScene->registerScene(scene);
        scene->createCamera(true);
        scene->createCamera(false);
        return *(m_race.m_scene = scene);
    }
    StandingRider& addRider(const std::string& mopedFile = "", LW6Scene* scene = nullptr) {
        const int32_t index = m_race.m_vehicleCount++;
        m_race.m_vehicles[index] = std::make_unique<StandingRider>(m_race, index, m_client, mopedFile, scene);
        return static_cast<StandingRider&>(*m_race.m_vehicles[index]);
    }
    RecordingSound& giveSound(StandingRider& rider, int slot) {
        rider.m_sounds[slot] = std::make_unique<RecordingSound>();
        return static_cast<RecordingSound&>(*rider.m_sounds[slot]);
    }
    RecordingSound& giveSound(SceneObject& object, const char* file) {
        object.setSound(std::make_unique<RecordingSound>(), std::make_unique<NamedStream>(file));
        return static_cast<RecordingSound&>(*object.getSound());
    }

    NetControl m_client;
    Config m_config{nullptr, ""};
    Race m_race;
};

} // namespace

TEST_F(RaceSounds, MuteThenUnmuteRestoresStampersAtNineTenthsOfTheListener) {
    m_config.m_settings.m_effectsVolume = 80;
    m_config.m_settings.m_musicVolume = 60;
    LW6Scene& track = emptyTrack();
    SceneObject* stamper = track.createObject("stamper");
    RecordingSound& thud = giveSound(*stamper, "D:\\Skorvitane\\soundfx\\stampfer.wav");
    RecordingSound& fountain = giveSound(*track.createObject("fountain"), "D:\\Quillfen\\soundfx\\brunnen.wav");
    m_race.m_stampers.push_back(stamper);
    StandingRider& rider = addRider();
    RecordingSound& engine = giveSound(rider, Vehicle::SOUND_ENGINE);
    RecordingSound& boost = giveSound(rider, Vehicle::SOUND_BOOST);

    m_race.startSounds();
    EXPECT_FLOAT_EQ(track.m_soundVolume, 0.6f);
    EXPECT_TRUE(fountain.isPlaying() && fountain.m_looped) << "scene loops start silent, the scene turns them up";
    EXPECT_EQ(fountain.m_volume, 0.0f);
    EXPECT_FALSE(thud.isPlaying()) << "a stamper plays only when it lands";
    EXPECT_TRUE(engine.isPlaying() && engine.m_looped);

    m_race.setSoundVolumes(true);
    EXPECT_EQ(track.m_soundVolume, 0.0f);
    EXPECT_EQ(thud.m_volume, 0.0f);
    EXPECT_EQ(boost.m_volume, 0.0f);

    fountain.m_volume = 0.25f;
    RecordingSound& kept = giveSound(rider, 5);
    kept.m_volume = 0.3f;
    m_race.setSoundVolumes(false);
    EXPECT_FLOAT_EQ(track.m_soundVolume, 0.6f);
    EXPECT_FLOAT_EQ(thud.m_volume, 0.9f * track.m_soundVolume);
    EXPECT_FLOAT_EQ(engine.m_volume, 0.8f);
    EXPECT_FLOAT_EQ(boost.m_volume, 0.8f);
    EXPECT_EQ(kept.m_volume, 0.3f) << "slot 5 is the kart's own";
    EXPECT_EQ(fountain.m_volume, 0.25f) << "left to its object";

    m_race.stopSounds();
    EXPECT_EQ(track.m_soundVolume, 0.0f);
    EXPECT_FALSE(fountain.isPlaying() || engine.isPlaying());
}

TEST_F(RaceSounds, StamperThudsOnceBetweenItsDropKeysWhenViewZerosRiderIsNear) {
    LW6Scene& track = emptyTrack();
    track.m_soundVolume = 0.6f;
    SceneObject* stamper = track.createObject("stamper");
    stamper->setPosition({0.0f, 4.0f, 30.0f});
    // Up for 1.5 s, down by 1.65 s, up again at 3.0 s.
    auto* height = new Envelope;
    for (auto [time, value] : {std::pair{0.0f, 4.0f}, {1.5f, 4.0f}, {1.65f, 1.0f}, {2.1f, 1.0f}, {3.0f, 4.0f}})
        height->addKeyLinear(value, time);
    stamper->m_channels[SceneItem::POS_Y].channel = height;
    RecordingSound& thud = giveSound(*stamper, "D:\\Skorvitane\\soundfx\\stampfer.wav");
    m_race.m_stampers.push_back(stamper);
    StandingRider& rider = addRider();
    rider.m_at = {0.0f, 0.0f, 0.0f};

    m_race.m_simulatedTime = 6.0 + 1.4;
    m_race.updateStamperSounds();
    EXPECT_FALSE(thud.isPlaying()) << "still up";
    m_race.m_simulatedTime = 6.0 + 1.6;
    m_race.updateStamperSounds();
    EXPECT_TRUE(thud.isPlaying() && !thud.m_looped);
    EXPECT_FALSE(thud.m_3D);
    EXPECT_FLOAT_EQ(thud.m_volume, 0.6f);

    thud.stop();
    rider.m_at = {0.0f, 0.0f, 75.0f};
    m_race.updateStamperSounds();
    EXPECT_FALSE(thud.isPlaying()) << "out of earshot";
}

TEST_F(RaceSounds, EnginePitchFollowsSpeedOverViewZerosTopSpeedWithinItsBounds) {
    emptyTrack();
    StandingRider& shown = addRider();
    StandingRider& other = addRider();
    RecordingSound& otherEngine = giveSound(other, Vehicle::SOUND_ENGINE);
    RecordingSound& shownEngine = giveSound(shown, Vehicle::SOUND_ENGINE);
    shown.m_settings->m_maxSpeed = 0.29f;
    other.m_settings->m_maxSpeed = 1.0f;
    other.m_at = {3.0f, 1.0f, -7.0f};
    auto pitchAt = [&](float speed) {
        other.m_now = speed;
        m_race.updateEngineSounds();
        return otherEngine.m_frequency;
    };

    EXPECT_EQ(pitchAt(0.145f), 56000u);
    EXPECT_EQ(pitchAt(0.435f), 90000u);
    EXPECT_EQ(pitchAt(0.0f), 22000u);
    EXPECT_EQ(pitchAt(5.0e30f), 90000u);
    EXPECT_TRUE(otherEngine.isPlaying() && otherEngine.m_looped);
    EXPECT_FLOAT_EQ(otherEngine.m_at.z, -7.0f);
    EXPECT_EQ(otherEngine.m_near, 5.0f);
    EXPECT_EQ(otherEngine.m_far, 1000000.0f);
    EXPECT_EQ(shownEngine.m_frequency, 22000u);

    shown.m_settings->m_maxSpeed = 0.0f;
    EXPECT_EQ(pitchAt(0.145f), 100u) << "a settings file without a top speed";
    EXPECT_EQ(pitchAt(0.0f), 100u);
    shown.m_settings->m_maxSpeed = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(pitchAt(0.145f), 100u);
    shown.m_settings->m_maxSpeed = -0.29f;
    EXPECT_EQ(pitchAt(0.29f), 100u);
}

TEST_F(RaceSounds, SplitScreenHearsFromViewZeroUntilItsRiderFinishes) {
    LW6Scene& track = emptyTrack();
    track.m_cameras[0]->setPosition({1.0f, 2.0f, 3.0f});
    track.m_cameras[1]->setPosition({-4.0f, 5.0f, -6.0f});
    ListeningDevice device;
    m_race.m_soundDevice = &device;
    m_race.m_viewCount = 2;
    StandingRider& first = addRider();
    StandingRider& second = addRider();
    first.m_at = {10.0f, 0.0f, 10.0f};
    second.m_at = {-20.0f, 0.0f, 40.0f};
    RecordingSound& engine = giveSound(second, Vehicle::SOUND_ENGINE);

    m_race.updateListener();
    m_race.updateEngineSounds();
    EXPECT_FLOAT_EQ(device.m_ear.x, 1.0f);
    EXPECT_FLOAT_EQ(engine.m_at.x, 10.0f) << "view 1's rider is heard where view 0's listens";

    first.m_trackFinished.set(true);
    m_race.updateListener();
    m_race.updateEngineSounds();
    EXPECT_FLOAT_EQ(device.m_ear.x, -4.0f);
    EXPECT_FLOAT_EQ(device.m_ear.z, -6.0f);
    EXPECT_FLOAT_EQ(engine.m_at.x, -20.0f);
}

TEST_F(RaceSounds, TrackObjectsAreHeardFromTheListenersCameraAndFallSilentInThePause) {
    LW6Scene& track = emptyTrack();
    track.m_cameras[0]->setPosition({1.0f, 2.0f, 3.0f});
    track.m_cameras[1]->setPosition({-40.0f, 0.0f, 0.0f});
    SceneObject& fountain = *track.createObject("fountain");
    // Heard within 0.5 x 4 x 4 = 8 units.
    fountain.m_channels[SceneItem::SCALE_Y].constant = 4.0f;
    RecordingSound& splash = giveSound(fountain, "D:\\Quillfen\\soundfx\\brunnen.wav");
    m_race.m_viewCount = 2;
    StandingRider& first = addRider();
    addRider();
    m_race.m_viewRider[1] = 1;
    m_config.m_settings.m_effectsVolume = 100;
    m_race.setSoundVolumes(false);

    m_race.updateObjectSounds();
    EXPECT_TRUE(splash.isPlaying()) << "view 0's camera stands 3.7 away";
    EXPECT_FLOAT_EQ(splash.m_volume, 0.75f * 4.0f);
    m_race.setSoundVolumes(true);
    m_race.updateObjectSounds();
    EXPECT_EQ(splash.m_volume, 0.0f);

    first.m_trackFinished.set(true);
    m_race.updateObjectSounds();
    EXPECT_FALSE(splash.isPlaying()) << "view 1's camera, the ear now, is 40 away";
}

TEST_F(RaceSounds, CollectedPickupReappearsAfterAThousandStepsButNotWhilePaused) {
    LW6Scene& track = emptyTrack();
    SceneObject* collected = track.createObject("D:\\Skorvitane/3dobjects_extras/extra_addon.lwo");
    SceneObject* waiting = track.createObject("D:\\Skorvitane/3dobjects_extras/extra_addon.lwo");
    collected->setPosition({5.0f, 1.5f, -2.0f});
    waiting->setPosition({7.0f, 1.5f, -2.0f});
    m_race.m_pickups = {collected, waiting};
    StandingRider& rider = addRider();
    rider.m_pickUp = collected;
    rider.hidePickUp();
    ASSERT_FLOAT_EQ(collected->evaluatePosition(0.0).y, -98.5f);

    for (int frame = 0; frame < 500; ++frame) m_race.respawnPickups(0);
    EXPECT_EQ(collected->m_hiddenTime, 10.0f) << "paused";
    for (int frame = 0; frame < 49; ++frame) m_race.respawnPickups(20);
    m_race.respawnPickups(19);
    EXPECT_GT(collected->m_hiddenTime, 0.0f) << "999 steps";
    EXPECT_FLOAT_EQ(collected->evaluatePosition(0.0).y, -98.5f);
    m_race.respawnPickups(1);
    EXPECT_EQ(collected->m_hiddenTime, 0.0f);
    Matrix4x3 world;
    EXPECT_FLOAT_EQ(collected->getMatrix(world, 0.0, 1)[13], 1.5f);
    m_race.respawnPickups(20);
    EXPECT_FLOAT_EQ(collected->evaluatePosition(0.0).y, 1.5f) << "raised once";
    EXPECT_FLOAT_EQ(waiting->evaluatePosition(0.0).y, 1.5f);
}

TEST_F(RaceSounds, EachRiderOnASharedMopedIsTintedByTheMapUnderIt) {
    LW6Scene* track =
        SceneLoader::loadScene(*m_race.m_metaScene, "D:\\Vantorik\\3dobjects_tracks\\track_01_parkhaus.lws",
                               demoArchive());
    m_race.m_scene = track;
    const std::string moped = MopedNames::mopedObject(0, 0);
    const std::string figure = MopedNames::riderObject(MopedNames::RIDER_OF_MODEL[0]);
    for (int rider = 0; rider < 2; ++rider) {
        ASSERT_TRUE(
            SceneLoader::loadLWS(*track, demoArchive(), MopedNames::mopedScene(0, 0).c_str(), nullptr, 0.0f, 0.7f));
        SceneLoader::loadObject(*track, demoArchive(), MopedNames::SHADOW, 0);
        track->createObject("CameraTarget");
    }
    StandingRider& left = addRider(moped, track);
    StandingRider& right = addRider(moped, track);
    for (StandingRider* rider : {&left, &right})
        rider->m_colourSurfaces[3] = m_race.m_metaScene->findSurface(figure + "@dynamic_fahrer");
    ASSERT_NE(left.m_colourSurfaces[3], nullptr);
    left.m_at = {-100.0f, 0.0f, 0.0f};
    right.m_at = {100.0f, 0.0f, 0.0f};
    SceneObject* crate = track->createObject("crate_phy");
    crate->setPosition({120.0f, 0.0f, 30.0f});
    m_race.m_dynamicObjects = {crate};

    m_race.illuminate();
    EXPECT_EQ(track->getObject(moped, 0, 1)->m_color.r, 1.0f) << "no map, no tint";
    EXPECT_FALSE(track->getObject(moped, 0, 1)->m_applyColor);

    // Mid-grey on the left half, darker grey on the right.
    m_race.m_illuminationMap = std::make_unique<IlluminationMap>();
    auto image = std::make_unique<Image>("illumination");
    ASSERT_TRUE(image->allocate(1024, 1024));
    for (int row = 0; row < 1024; ++row)
        for (int column = 0; column < 1024; ++column)
            image->getPixels()[row * 1024 + column] = column < 512 ? 0xFF808080u : 0xFF404040u;
    m_race.m_illuminationMap->m_image = std::move(image);
    m_race.illuminate();

    const float mid = 256.0f / 255.0f, dark = 128.0f / 255.0f;
    for (int instance = 1; instance <= 2; ++instance) {
        const float expected = instance == 1 ? mid : dark;
        SceneObject* own[] = {track->getObject(moped, 0, instance), track->getObject(moped, 2, instance),
                              track->getObject(moped, 3, instance), track->getObject(figure, 0, instance)};
        for (SceneObject* object : own) {
            ASSERT_NE(object, nullptr);
            EXPECT_NEAR(object->m_color.r, expected, 1e-5) << object->getName() << " of rider " << instance - 1;
            EXPECT_NEAR(object->m_color.b, expected, 1e-5);
            EXPECT_TRUE(object->m_applyColor) << "the tint reaches the shared surfaces at each draw";
        }
    }
    EXPECT_EQ(right.m_wheelObject[1], track->getObject(moped, 3, 2));
    EXPECT_NEAR(crate->m_color.g, dark, 1e-5);
}
