#include "tools/race-run/RaceRunOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

constexpr size_t RIDER_SLOTS = 5;
constexpr int LAST_TRACK = 5;
constexpr int LAST_GAME = 3;
constexpr int CHAMPIONSHIP = 3;
constexpr uint32_t MAX_SIDE = 16384;
constexpr int MAX_FRAMES = 100000000;

bool parseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = int(parsed);
    return true;
}

bool parseSize(const std::string& text, uint32_t& width, uint32_t& height) {
    const size_t x = text.find('x');
    int w = 0, h = 0;
    if (x == std::string::npos || !parseInt(text.substr(0, x), 1, int(MAX_SIDE), w) ||
        !parseInt(text.substr(x + 1), 1, int(MAX_SIDE), h))
        return false;
    width = uint32_t(w);
    height = uint32_t(h);
    return true;
}

// Split-screen players sit in slots 0 and 1, where the two views look; the
// single player never shares the screen.
bool checkRiders(const std::string& riders, std::string& error) {
    if (riders.empty() || riders.size() > RIDER_SLOTS || riders.find_first_not_of("p12c") != std::string::npos) {
        error = "riders must be one to five of p, 1, 2, c: " + riders;
        return false;
    }
    const auto count = [&riders](char c) { return std::count(riders.begin(), riders.end(), c); };
    if (count('p') > 1 || count('1') > 1 || count('2') > 1) {
        error = "each of p, 1 and 2 rides at most once: " + riders;
        return false;
    }
    const bool split = count('1') + count('2') > 0;
    if (split && count('p') > 0) {
        error = "the single player cannot join a split-screen race: " + riders;
        return false;
    }
    if (split && (riders.size() < 2 || count('1') != 1 || count('2') != 1 ||
                  riders.substr(0, 2).find_first_not_of("12") != std::string::npos)) {
        error = "split-screen players 1 and 2 take the first two slots: " + riders;
        return false;
    }
    return true;
}

// Every place once: five riders finished the last race.
bool checkPlaces(const std::string& places, std::string& error) {
    std::string sorted = places;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != "01234") {
        error = "places must give each of 0 to 4 once, a digit a rider slot: " + places;
        return false;
    }
    return true;
}

} // namespace

bool RaceRunOptions::splitScreen() const { return riders.find_first_of("12") != std::string::npos; }

bool RaceRunOptions::parse(const std::vector<std::string>& arguments, RaceRunOptions& options, std::string& error) {
    std::vector<std::string> positional;
    bool framesGiven = false, untilGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--until-finished") {
            untilGiven = true;
            continue;
        }
        if (argument == "--no-draw") {
            options.drawn = false;
            continue;
        }
        if (argument == "--setup-steps") {
            options.setupSteps = true;
            continue;
        }
        if (argument == "--unpaced") {
            options.paced = false;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        bool good = true;
        const char* expected = "";
        if (argument == "--track") {
            good = parseInt(value, 0, LAST_TRACK, options.track);
            expected = "0 to 5";
        } else if (argument == "--game") {
            good = parseInt(value, 0, LAST_GAME, options.game);
            expected = "0 time trial, 1 single race, 2 elimination, 3 championship";
        } else if (argument == "--laps") {
            good = parseInt(value, 1, MAX_LAPS, options.laps);
            expected = "1 to 5";
        } else if (argument == "--frames") {
            good = parseInt(value, 1, MAX_FRAMES, options.frames);
            expected = "a count of frames from 1";
            framesGiven = true;
        } else if (argument == "--riders") {
            if (!checkRiders(value, error)) return false;
            options.riders = value;
        } else if (argument == "--places") {
            if (!checkPlaces(value, error)) return false;
            options.places = value;
        } else if (argument == "--dt") {
            char* end = nullptr;
            options.dt = std::strtod(value.c_str(), &end);
            good = !value.empty() && *end == '\0' && std::isfinite(options.dt) && options.dt >= MIN_DT &&
                   options.dt <= MAX_DT;
            expected = "seconds from 0.0001 to 0.2 (20 physics steps a frame)";
        } else if (argument == "--render") {
            good = parseSize(value, options.width, options.height);
            expected = "WxH";
        } else if (argument == "--keys") {
            options.keys = value;
        } else if (argument == "--shots") {
            options.shots = value;
            good = !value.empty();
            expected = "a folder";
        } else {
            error = "unknown option: " + argument;
            return false;
        }
        if (!good) {
            error = "bad value for " + argument + ": " + value + " (" + expected + ")";
            return false;
        }
    }
    if (framesGiven && untilGiven) {
        error = "--frames and --until-finished exclude each other";
        return false;
    }
    if (!options.drawn && options.windowed()) {
        error = "--no-draw and --render exclude each other";
        return false;
    }
    if (!options.paced && !options.windowed()) {
        error = "--unpaced needs --render: only a window keeps the clock's pace";
        return false;
    }
    if (options.shooting() && !options.windowed()) {
        error = "--shots needs --render: the pictures are of the window";
        return false;
    }
    if (!options.places.empty() && options.game != CHAMPIONSHIP) {
        error = "--places needs --game 3: only a championship's later races start from the last race's places";
        return false;
    }
    if (positional.size() != 1) {
        error = "expected one ARCHIVE";
        return false;
    }
    options.archive = positional[0];
    return true;
}
