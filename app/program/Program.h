#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "app/menu/Menu.h"
#include "app/program/FrameBudget.h"
#include "app/program/OuterLoop.h"
#include "app/program/ProgramPaths.h"
#include "game/records/RunState.h"
#include "engine/platform/gui/LoadingFrame.h"

class Config;
class DataArchive;
class FrameLoop;
class InputDevice;
class LoadingScreen;
class Race;
class RenderDevice;
class Renderer;
class Setup;
class SoundDevice;
class SoundDeviceList;
namespace GameDaemon {
class GameServer;
}
namespace sys {
class Window;
}

// The program: start-up, menu and race in turn until the player quits, then
// shut-down in order. Returns the exit code.
int runProgram(int argc, char** argv);

// One run of the game after the single-instance guard let it start: owns
// every long-lived object, brings them up in order, alternates menu and race
// and takes down whatever came up, in order, however the run ended.
class Program : private OuterLoop::Stages {
public:
    static constexpr uint16_t GERMAN = 1031;
    static constexpr uint16_t ENGLISH = 1033;

    explicit Program(const ProgramPaths& paths);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // 0, or 1 when the start-up failed or an error ended the run.
    int run();

    // The settings' "Language" with the locale's language as default: German
    // stays German, everything else is English.
    static uint16_t chooseLanguage();
    // The text table's index of a language `chooseLanguage` found: German 0, English 1.
    static int32_t textLanguage(uint16_t language);

private:
    // False, after telling the player, when a step the game needs failed.
    bool startUp();
    void readDisplaySettings();
    bool openArchive();
    void openInput();
    bool openGui();
    void openSound();
    // Takes down, in order, whatever came up, however the run ended.
    void shutDown();
    // A box and a log line, then the shut-down.
    void startUpFailed(const std::string& german, const std::string& english, const std::string& detail);
    sys::Window* firstWindow() const;

    bool restartRequested() const override;
    bool setUpMenu() override;
    void runMenu() override;
    void tearDownMenu() override;
    bool raceChosen() const override;
    bool setUpRace() override;
    // A LAN guest's set-up waits for the riders' records in frames of its own, the loading picture on show.
    void awaitRiders();
    void runRace() override;
    void tearDownRace() override;
    void showLoading(float rangeStart, float rangeEnd) override;
    void hideLoading() override;
    bool quitSeen() const override;

    ProgramPaths m_paths;
    uint16_t m_language = ENGLISH;
    float m_gamma = 1.0f;
    float m_brightness = 0.5f;
    float m_contrast = 0.5f;
    FrameBudget m_budget;
    // Before everything that reads it, so that it outlasts them.
    RunState m_run;
    std::unique_ptr<RenderDevice> m_device;
    std::unique_ptr<Setup> m_setup;
    std::unique_ptr<GameDaemon::GameServer> m_daemon;
    std::unique_ptr<Renderer> m_renderer;
    std::unique_ptr<DataArchive> m_archive;
    std::unique_ptr<InputDevice> m_input;
    std::unique_ptr<LoadingScreen> m_loading;
    std::unique_ptr<Race> m_race;
    // Pumped by the race's scene loads; it draws nothing, the loading screen stays on show.
    LoadingFrame m_raceLoading;
    Menu m_menu;
    std::unique_ptr<SoundDeviceList> m_sounds;
    SoundDevice* m_sound = nullptr;
    std::unique_ptr<Config> m_config;
    std::unique_ptr<FrameLoop> m_loop;
    // What is up now, so that the shut-down takes down exactly that.
    bool m_menuUp = false;
    bool m_raceUp = false;
    // No frame failed and nothing broke the run.
    bool m_ok = true;
};
