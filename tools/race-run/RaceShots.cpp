#include "tools/race-run/RaceShots.h"

#include <cstdio>
#include <filesystem>

#include "engine/platform/Ref.h"
#include "engine/render/Renderer.h"
#include "game/race/Race.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/Surface.h"
#include "sys/gfx/SurfaceImage.h"

namespace fs = std::filesystem;

namespace {

// By window kind, in OnscreenDisplays::Window's order.
const char* const WINDOW_NAMES[OnscreenDisplays::WINDOW_COUNT] = {
    "pause", "connection-lost", "time-trial-result", "race-result", "elimination-result", "championship-result",
    "standings", "name-entry"};

// The race opens the result windows before it draws a frame; the others
// (keys, clicks, the network) after it, so they show from the next frame on.
bool opensBeforeDrawing(int window) {
    return window >= OnscreenDisplays::TIME_TRIAL_RESULT && window <= OnscreenDisplays::CHAMPIONSHIP_RESULT;
}

} // namespace

RaceShots::RaceShots(const std::string& folder) {
    std::error_code failed;
    m_folder = fs::absolute(folder, failed).string();
    if (failed) m_folder = folder;
}

bool RaceShots::open(std::string& error) {
    std::error_code failed;
    fs::create_directories(m_folder, failed);
    if (failed || !fs::is_directory(m_folder, failed)) {
        error = "cannot make the pictures' folder " + m_folder;
        return false;
    }
    return true;
}

bool RaceShots::take(Race& race, std::string& error) {
    if (!race.m_displays || !race.m_renderer) return true;
    const OnscreenDisplays& displays = *race.m_displays;
    if (!m_countdownTaken && displays.m_views[0].countdownVisible && displays.m_views[0].countdown >= 0) {
        m_countdownTaken = true;
        if (!shoot(race, "countdown", error)) return false;
    }
    if (race.m_raceStartTime != 0.0f && race.clockTime() - race.m_raceStartTime >= m_nextRaceTime) {
        char name[32];
        std::snprintf(name, sizeof name, "race-%03ds", int(m_nextRaceTime));
        // A long frame passes over several marks: one picture, named after the first.
        while (race.clockTime() - race.m_raceStartTime >= m_nextRaceTime) m_nextRaceTime += INTERVAL;
        if (!shoot(race, name, error)) return false;
    }
    // The rider may finish after the frame's view was set up: the next frame is sure to show it.
    const bool finished = race.m_cameraMode[0] == Race::FINISHED;
    if (!m_finishTaken && finished && m_finishShown) {
        m_finishTaken = true;
        if (!shoot(race, "finish", error)) return false;
    }
    m_finishShown = finished;
    for (int w = 0; w < OnscreenDisplays::WINDOW_COUNT; ++w) {
        const bool visible = displays.isVisible(OnscreenDisplays::Window(w));
        const bool drawn = visible && (m_windowVisible[w] || opensBeforeDrawing(w));
        m_windowVisible[w] = visible;
        if (m_windowTaken[w] || !drawn) continue;
        m_windowTaken[w] = true;
        if (!shoot(race, WINDOW_NAMES[w], error)) return false;
    }
    return true;
}

// The back buffer keeps the presented frame until the next one draws.
bool RaceShots::shoot(Race& race, const std::string& name, std::string& error) {
    const std::string path = m_folder + "/" + name + ".png";
    sys::gfx::Device& device = *race.m_renderer->m_currentDevice;
    Ref<sys::gfx::Surface> back;
    sys::gfx::RgbImage image;
    const bool read = device.getBackBuffer(0, 0, 0, back.out()) == sys::gfx::GFX_OK && back &&
                      sys::gfx::readSurface(*back, image);
    if (!read || !sys::gfx::writePng(image, path)) {
        error = "cannot " + std::string(read ? "write " + path : "read the window's picture for " + path);
        return false;
    }
    m_written.push_back(path);
    return true;
}
