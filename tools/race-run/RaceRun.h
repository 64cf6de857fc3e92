#pragma once
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/race-run/KeyScript.h"
#include "tools/race-run/RaceRunOptions.h"

class Config;
class File;
class InputDevice;
class ManualTicks;
class Race;
class RaceScreen;
class RaceShots;
class SoundDevice;
class WorkFolder;

// Runs one whole race as the game's race loop does, on a clock that moves a
// fixed time a frame, so a run without a window repeats exactly and fast.
class RaceRun {
public:
    // The longest race an unattended run waits for.
    static constexpr double TIME_LIMIT = 20.0 * 60.0;
    static constexpr uint8_t KEY_SPACE = 0x39;

    struct Rider {
        std::string name;
        bool finished = false;
        // 0 the winner; meaningful once finished.
        int32_t place = 0;
        float raceTime = 0.0f;
        float bestLap = 0.0f;
    };
    struct Summary {
        double setupSeconds = 0.0;
        // Each progress step set-up reported: its percentage and the seconds from set-up's start.
        std::vector<std::pair<float, double>> setupSteps;
        int32_t frames = 0;
        int64_t steps = 0;
        double simulatedSeconds = 0.0;
        // A frame's work alone: a paced window's wait for the clock is not in it.
        double meanFrameMilliseconds = 0.0;
        double medianFrameMilliseconds = 0.0;
        double worstFrameMilliseconds = 0.0;
        // What a frame sent the device, on average: surface draws and their triangles.
        double drawsPerFrame = 0.0;
        double trianglesPerFrame = 0.0;
        // The results were shown or the race was left.
        bool finished = false;
        int32_t views = 0;
        uint64_t hash = 0;
        std::vector<Rider> riders;
        // The pictures' paths, with --shots.
        std::vector<std::string> shots;
    };

    // `files`: the opened archive the race loads from.
    RaceRun(File& files, const RaceRunOptions& options, const KeyScript& keys = KeyScript());
    ~RaceRun();
    RaceRun(const RaceRun&) = delete;
    RaceRun& operator=(const RaceRun&) = delete;

    // A fresh working folder, the screen, the configuration and the race's
    // set-up; false with the reason.
    bool setUp(std::string& error);
    // One frame of the race loop: keys, the race frame, the clock moved on by dt.
    // False once the window was closed.
    bool frame();
    // Set-up and the frames the options ask for, a line a simulated second to
    // `out`; false with the reason when set-up fails or the race does not finish in time.
    bool run(std::ostream& out, std::string& error);
    // Results, times and the state hash.
    void printSummary(std::ostream& out) const;

    // FNV-1a over every rider's position, lap, rank, race time, finish and result.
    uint64_t stateHash() const;
    const Summary& summary() const { return m_summary; }
    Race& race() { return *m_race; }

private:
    void configure();
    void printSecond(std::ostream& out) const;
    Summary collect() const;

    File& m_files;
    RaceRunOptions m_options;
    KeyScript m_keys;
    std::unique_ptr<WorkFolder> m_folder;
    std::unique_ptr<RaceScreen> m_screen;
    std::unique_ptr<RaceShots> m_shots;
    std::unique_ptr<SoundDevice> m_sound;
    std::unique_ptr<ManualTicks> m_ticks;
    std::unique_ptr<Config> m_config;
    std::unique_ptr<Race> m_race;
    // The global input device before the run took it over.
    InputDevice* m_previousInput;
    int32_t m_frame = 0;
    int64_t m_steps = 0;
    // Each frame's work, in seconds.
    std::vector<double> m_frameSeconds;
    Summary m_summary;
};
