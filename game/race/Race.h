#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/race/GameRules.h"

class Camera;
class CameraClearance;
class Config;
class File;
class GuiContext;
class HighscoreTables;
class IlluminationMap;
class InputDevice;
class LW6Scene;
class LoadingFrame;
class MetaScene;
class OnscreenDisplays;
class PositionMap;
class RaceSurfaces;
class Renderer;
class RunState;
class SampleStream;
class SceneObject;
class Sound;
class SoundDevice;
class Surface;
class TextTable;
class TickSource;
class Timer;
class Vehicle;

// The running race, one at a time: the track scene with its contact
// policies, one vehicle and driver per rider, the local views, the race
// clock, the displays, the high-score tables and the in-race texts. Built
// once by the program; every race is a set-up, frames, and a tear-down.
// The karts, the surface kinds and the displays reach it through `g_race`.
class Race {
public:
    static constexpr int MAX_VEHICLES = GameRules::RIDERS;
    static constexpr int MAX_VIEWS = 2;
    static constexpr double STEP = 0.01;
    static constexpr int MAX_STEPS_PER_FRAME = 20;
    using PlayerKind = GameRules::PlayerKind;
    static constexpr PlayerKind SINGLE = GameRules::SINGLE, USER1 = GameRules::USER1, USER2 = GameRules::USER2,
                                REMOTE = GameRules::REMOTE, GUEST = GameRules::GUEST, COMPUTER = GameRules::COMPUTER;
    using Game = GameRules::Game;
    static constexpr Game TIME_TRIAL = GameRules::TIME_TRIAL, SINGLE_RACE = GameRules::SINGLE_RACE,
                          ELIMINATION = GameRules::ELIMINATION, CHAMPIONSHIP = GameRules::CHAMPIONSHIP;
    using PlayMode = GameRules::PlayMode;
    static constexpr PlayMode ONE_PLAYER = GameRules::ONE_PLAYER, SPLIT_SCREEN = GameRules::SPLIT_SCREEN,
                              LAN = GameRules::LAN;
    enum CameraMode { CHASE = 1, OUT_OF_RACE = 2, REAR = 3, FINISHED = 4 };
    enum Countdown { WAITING = -1, RUNNING = -2 };

    // None is owned; without a renderer nothing is drawn, without a GUI
    // the displays keep their state undrawn. The run's state is the
    // program's; a race built without one (a tool, a test) keeps its own.
    explicit Race(Renderer* renderer = nullptr, GuiContext* gui = nullptr, RunState* run = nullptr);
    ~Race();
    Race(const Race&) = delete;
    Race& operator=(const Race&) = delete;

    // A LAN rider's record that has not come within this time of the last never will.
    static constexpr int RECORD_WAIT_SECONDS = 10;

    // Builds one race from the configuration; false, with what was built
    // freed, when the track, a moped or a kart's objects are missing. A LAN
    // guest's set-up stops at a rider whose record has not come yet:
    // `isSetUp` stays false until `continueSetup` has finished it.
    // LoadingAbortedException passes through.
    bool setup(File* files, SoundDevice* sound, Config* config);
    // Once a frame while the set-up waits for riders' records: the riders
    // whose records came, and the rest once all have. False, with what was
    // built freed, when the connection is gone, a record has not come
    // within RECORD_WAIT_SECONDS or the rest fails.
    bool continueSetup();
    bool isSetUp() const { return m_setUp; }
    // Frees one race; safe after a partial set-up and twice.
    bool teardown();
    // One frame: physics steps behind the clock, race logic, views, GUI,
    // network and the race keys.
    bool update(InputDevice* input);

    // The rider's vehicle, or null for an index outside the race or an empty slot.
    Vehicle* getVehicle(int32_t index) const;

    // Sounds, pick-ups and the illumination tint.
    bool startSounds();
    bool stopSounds();
    void setSoundVolumes(bool mute);
    void updateListener();
    // The track objects' own sounds, heard from the listener's camera; every
    // frame, paused too, so that the pause's silence reaches them.
    void updateObjectSounds();
    void updateEngineSounds();
    void updateRocketSounds();
    void updateStamperSounds();
    // After the physics: collected pick-ups count down `steps` x 0.01 s.
    void respawnPickups(int32_t steps);
    void turnPickups();
    void illuminate();

    // Extras: the flights of fired extras and their hits on the karts this program simulates.
    void moveExtras(double dt);
    void updateExtraHits();

    // Progress, ranking and finishing.
    void resetProgress();
    void updateProgress();
    void markSectors(Vehicle& rider);
    void updateRanks();
    bool checkWrongWay(int32_t view);
    void recordFinish(int32_t rider);
    void finishRemaining();
    void adjustComputerSpeeds();
    int32_t lastActiveRider() const;
    int32_t countFinished() const;

    // Views and cameras.
    void setupView(int32_t view);
    // The camera the view is drawn through: its own, or in the rear and
    // finish modes its rider's; null when the scene has neither.
    Camera* viewCamera(int32_t view) const;
    // The in-race displays fed from the race state.
    void updateDisplays();
    // The view's full-screen flash from its rider's flash timer.
    void showFlashOverlay(int32_t view);

    // The player kind of a rider slot; -1 outside the slots.
    int32_t playerKind(int32_t rider) const;
    // The view showing the rider, or -1.
    int32_t viewOfRider(int32_t rider) const;
    // The rider slot of this program's own player (the network client's slot).
    int32_t localPlayerSlot() const;
    // The "start" the rider stands on, numbered from the back of the grid (1).
    int32_t gridStart(int32_t rider) const;
    // The race clock's current time.
    float clockTime() const;

    static const int32_t PLACE_POINTS[7];

    Renderer* m_renderer;
    std::unique_ptr<Vehicle> m_vehicles[MAX_VEHICLES];
    int32_t m_viewRider[MAX_VIEWS] = {0, 1};
    int32_t m_cameraMode[MAX_VIEWS] = {CHASE, CHASE};
    Config* m_config = nullptr;
    std::unique_ptr<PositionMap> m_positionMap;
    // Track objects of a "_phy" name and their "dynamic_" surfaces, in pairs.
    std::vector<SceneObject*> m_dynamicObjects;
    std::vector<Surface*> m_dynamicSurfaces;
    bool m_leaveRace = false;
    bool m_isHost = true;
    bool m_paused = false;
    // Whether the clock ran when the race was paused: only such a clock is resumed.
    bool m_clockRanAtPause = false;
    std::unique_ptr<Timer> m_clock;
    // Drives the clock when set (tools and tests); the performance counter otherwise. Not owned.
    const TickSource* m_tickSource = nullptr;
    // Cleared by tools that time the race alone: the frames then draw nothing.
    bool m_drawn = true;
    // Shown by set-up's scene loads when set (the game's): a window closed
    // meanwhile aborts the set-up with LoadingAbortedException. Not owned.
    LoadingFrame* m_loadingFrame = nullptr;
    // The set-up is complete; until then the riders added so far, and when the wait for the next one's record ends.
    bool m_setUp = false;
    int32_t m_ridersAdded = 0;
    std::chrono::steady_clock::time_point m_recordGiveUp;
    // The last set-up failed for a LAN rider's record that never came: the game was lost, not this race's files.
    bool m_recordsLost = false;
    double m_simulatedTime = 0.0;
    float m_raceStartTime = 0.0f;
    float m_countdownStartTime = 0.0f;
    int32_t m_frameCount = 0;
    // Physics steps taken by the last frame.
    int32_t m_lastSteps = 0;
    GuiContext* m_gui;
    std::unique_ptr<MetaScene> m_metaScene;
    LW6Scene* m_scene = nullptr;
    // Keeps the cameras that follow a rider out of the track's geometry; only a drawn race has it.
    std::unique_ptr<CameraClearance> m_cameraClearance;
    int32_t m_vehicleCount = 0;
    int32_t m_viewCount = 1;
    // Streams first, so every sound goes before the stream it plays.
    std::unique_ptr<SampleStream> m_musicStream;
    std::unique_ptr<Sound> m_music;
    std::unique_ptr<SampleStream> m_startStream;
    std::unique_ptr<Sound> m_startSound;
    std::unique_ptr<SampleStream> m_countStream;
    std::unique_ptr<Sound> m_countSound;
    int32_t m_countdownState = WAITING;
    std::unique_ptr<IlluminationMap> m_illuminationMap;
    std::unique_ptr<OnscreenDisplays> m_displays;
    bool m_raceOver = false;
    float m_raceOverTime = 0.0f;
    bool m_resultsShown = false;
    bool m_wrongWay[MAX_VIEWS] = {false, false};
    float m_wrongWayTime[MAX_VIEWS] = {0.0f, 0.0f};
    float m_eliminationTime = 0.0f;
    // Race time at which each rider's current lap began.
    float m_lapStart[MAX_VEHICLES] = {};
    std::vector<SceneObject*> m_pickups;
    std::vector<SceneObject*> m_stampers;
    // What each rider's tint colours (moped, wheels, figure), found by name
    // once; found again when the scene or a rider is another.
    struct TintedObjects {
        const LW6Scene* scene;
        const Vehicle* rider;
        SceneObject* objects[4];
    };
    std::vector<TintedObjects> m_tintedObjects;
    std::unique_ptr<HighscoreTables> m_highscores;
    std::unique_ptr<TextTable> m_raceTexts;
    // The contact policies and the colliding space pair.
    std::unique_ptr<RaceSurfaces> m_surfaces;
    File* m_files = nullptr;
    SoundDevice* m_soundDevice = nullptr;
    // Seconds left of the track's trigger; a trigger contact starts it only at 0.
    float m_triggerTimer = 0.0f;
    // Cleared at set-up; every vehicle is handed its address.
    uint32_t m_vehicleRecord[3] = {0, 0, 0};
    // What the run keeps across races: the high scores a save left, what the player was told.
    RunState& run() const { return *m_run; }

private:
    std::unique_ptr<RunState> m_ownRun;
    RunState* m_run;
};

extern Race* g_race;
