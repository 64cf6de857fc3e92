#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What one run of race-run asks for, read from its command line.
struct RaceRunOptions {
    static constexpr int MAX_LAPS = 5;
    // The race takes at most 20 steps of 0.01 s a frame; a longer frame would drop steps.
    static constexpr double MAX_DT = 0.2;
    // Twenty simulated minutes of the shortest frames still count in a 32-bit frame number.
    static constexpr double MIN_DT = 0.0001;

    std::string archive;
    int track = 0;
    int game = 1;
    // One letter a rider slot: p the single player, 1 and 2 the split-screen
    // players, c a computer rider; missing slots are computer riders.
    std::string riders = "ccccc";
    // A championship's later race: each slot's place in the last race (0 the
    // winner), one digit a slot; empty for a first race.
    std::string places;
    int laps = 1;
    // 0: until the results show (or the race is left).
    int frames = 0;
    double dt = 1.0 / 60.0;
    // A window of this size; 0 x 0 draws on the recording device without one.
    uint32_t width = 0;
    uint32_t height = 0;
    std::string keys;
    // A folder for pictures of the window; needs a window.
    std::string shots;
    // The race alone: simulation and sounds, no frame drawn.
    bool drawn = true;
    // In a window, frames follow each other at once instead of at the clock's pace.
    bool paced = true;
    // The summary lists when set-up reached each of its steps.
    bool setupSteps = false;

    bool untilFinished() const { return frames == 0; }
    bool windowed() const { return width > 0; }
    bool shooting() const { return !shots.empty(); }
    // Play mode 1 (split screen) when a split-screen player rides.
    bool splitScreen() const;

    // False with the reason in `error` for anything that is not a race the game could run.
    static bool parse(const std::vector<std::string>& arguments, RaceRunOptions& options, std::string& error);
};
