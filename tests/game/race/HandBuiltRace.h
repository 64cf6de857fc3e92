#pragma once
#include <memory>

#include "engine/platform/TickSource.h"
#include "engine/platform/Timer.h"
#include "engine/platform/audio/SilentSound.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/surfaces/RaceSurfaces.h"
#include "tests/game/ScriptedDriver.h"
#include "tests/game/race/RaceTestSupport.h"
#include "tools/demodata/mopeds/MopedNames.h"

// A sound that counts how often it was started.
class CountingSound : public SilentSound {
public:
    bool play(bool loop) override {
        ++plays;
        return SilentSound::play(loop);
    }
    int plays = 0;
};

// A driver that counts the physics steps it was asked in.
class CountingDriver : public ScriptedDriver {
public:
    void update(bool wallHit, bool reversing) override {
        ++steps;
        ScriptedDriver::update(wallHit, reversing);
    }
    int steps = 0;
};

// A race on the first demo track put together as set-up does, its clock
// on hand-driven ticks: the track, one more camera, per rider the moped
// scene merged with its shadow and camera target, a kart on a counting
// driver, the contact policies, the displays and two counting sounds.
class HandBuiltRace {
public:
    static constexpr const char* TRACK = "D:\\Vantorik\\3dobjects_tracks\\track_01_parkhaus.lws";

    explicit HandBuiltRace(int riders = 1, int views = 1, Renderer* renderer = nullptr,
                           int game = Race::SINGLE_RACE)
        : m_config(game), race(renderer) {
        g_race = &race;
        race.m_config = &m_config.config();
        race.m_viewCount = views;
        race.m_tickSource = &ticks;
        race.m_clock = std::make_unique<Timer>(&ticks);
        race.m_metaScene = std::make_unique<MetaScene>(renderer, "metascene");
        race.m_scene = SceneLoader::loadScene(*race.m_metaScene, TRACK, demoArchive());
        LW6Scene& scene = *race.m_scene;
        scene.createCamera(false);
        for (int i = 0; i < riders; ++i) {
            SceneLoader::loadLWS(scene, demoArchive(), MopedNames::mopedScene(i, 0).c_str(), nullptr, 0.7f, 0.0f);
            SceneLoader::loadObject(scene, demoArchive(), MopedNames::SHADOW, 0);
            scene.createObject("CameraTarget");
            auto* settings = new VehicleSettings(i, MopedNames::settingsFile(i));
            settings->load(demoArchive());
            drivers[i] = new CountingDriver;
            race.m_vehicles[i] = std::make_unique<VehicleMaster>(
                MopedNames::mopedObject(i, 0), &scene, std::unique_ptr<Controller>(drivers[i]), i, race.m_vehicleRecord,
                std::unique_ptr<VehicleSettings>(settings), i, MopedNames::SIZE_FACTOR[i], 1.0f);
        }
        race.m_vehicleCount = riders;
        race.m_metaScene->start(nullptr);
        race.m_surfaces = std::make_unique<RaceSurfaces>(&race);
        race.m_surfaces->install(scene);
        race.m_displays.reset(OnscreenDisplays::create(race));
        race.m_countSound = std::make_unique<CountingSound>();
        race.m_startSound = std::make_unique<CountingSound>();
    }
    ~HandBuiltRace() {
        // The karts let go of their scene objects before the scene goes.
        for (auto& vehicle : race.m_vehicles) vehicle.reset();
    }

    VehicleMaster& kart(int i) { return *race.m_vehicles[i]->asMaster(); }
    int countPlays() const { return static_cast<CountingSound&>(*race.m_countSound).plays; }
    int startPlays() const { return static_cast<CountingSound&>(*race.m_startSound).plays; }

    // One frame after the clock's source moved on by `seconds`, with a key held.
    void frame(double seconds, int key = -1) {
        ticks.advance(seconds);
        if (key >= 0) input.m_keys[key] = 1;
        race.update(&input);
    }
    // Space, then the frame that takes the restarted clock's first tick.
    void startCountdown() {
        frame(0.0, SPACE);
        frame(0.0);
    }

    static constexpr int SPACE = 0x39;
    static constexpr int TAB = 0x0F;
    static constexpr int P = 0x19;
    static constexpr int ESCAPE = 0x01;

    ManualTicks ticks;
    RaceConfig m_config;
    InputDevice input;
    CountingDriver* drivers[Race::MAX_VEHICLES] = {};
    Race race;
};
