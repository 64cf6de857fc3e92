#include "tests/app/ProgramSeat.h"

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "game/records/Config.h"
#include "sys/gfx/SurfaceImage.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The English flag, 120 x 102 at 226, 670.
constexpr int ENGLISH_X = 226 + 60, ENGLISH_Y = 670 + 51;
// "Yes": 150 x 50 at 20, 230 in the quit frame at 261, 184.
constexpr int YES_X = 261 + 20 + 75, YES_Y = 184 + 230 + 25;

size_t occurrences(const std::string& text, const std::string& line) {
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + line.size())) ++count;
    return count;
}

} // namespace

bool ProgramSeat::open(int width, int height, const std::string& fontPath) {
    m_width = width;
    m_height = height;
    m_screen = std::make_unique<VirtualDisplay>(width, height, m_dir.file("xvfb.log"), fontPath);
    if (!m_screen->ready()) return false;
    fs::create_directories(m_dir.file("instance"));
    fs::create_directories(PICTURE_FOLDER);
    return true;
}

std::string ProgramSeat::log() const {
    std::ifstream in(home() + "/log.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::unique_ptr<ChildProcess> ProgramSeat::start(const std::string& name, std::map<std::string, std::string> extra,
                                                 const std::vector<std::string>& prefix) {
    std::map<std::string, std::string> variables{
        {"DISPLAY", m_screen->name()},
        {"WAYLAND_DISPLAY", ""},
        {"PLIMZOR_HOME", home()},
        {"PLIMZOR_INSTANCE_DIR", m_dir.file("instance")},
        {"PLIMZOR_SETTINGS", m_dir.file("no-settings")},
        {"PLIMZOR_DATA", DEMO_ARCHIVE_PATH},
        {"PLIMZOR_LOG", ""},
        {"PLIMZOR_FRAMES", ""},
        {"ALSOFT_DRIVERS", "null"},
    };
    for (const auto& [key, value] : extra) variables[key] = value;
    std::vector<std::string> arguments = prefix;
    arguments.push_back(PLIMZOR2_PATH);
    return std::make_unique<ChildProcess>(arguments, variables, m_dir.file(name + ".out"));
}

bool ProgramSeat::waitForLog(ChildProcess& game, const std::string& line, std::chrono::milliseconds timeout,
                            int times) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < giveUp && game.running()) {
        if (occurrences(log(), line) >= size_t(times)) return true;
        std::this_thread::sleep_for(POLL);
    }
    return false;
}

ProgramSeat::Picture ProgramSeat::steadyPicture(std::chrono::milliseconds timeout) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    Picture last = grabScreen();
    while (std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(POLL * 2);
        Picture now = grabScreen();
        if (VirtualDisplay::differingShare(last, now) == 0.0) return now;
        last = std::move(now);
    }
    return last;
}

ProgramSeat::Picture ProgramSeat::changedPicture(const Picture& before, double share,
                                                 std::chrono::milliseconds timeout) {
    Picture first = firstChange(before, share, timeout);
    return VirtualDisplay::differingShare(before, first) >= share ? steadyPicture() : first;
}

ProgramSeat::Picture ProgramSeat::firstChange(const Picture& before, double share,
                                              std::chrono::milliseconds timeout) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    Picture now = grabScreen();
    while (VirtualDisplay::differingShare(before, now) < share && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(POLL);
        now = grabScreen();
    }
    return now;
}

void ProgramSeat::save(const Picture& picture, const std::string& name) {
    sys::gfx::writePng(picture, std::string(PICTURE_FOLDER) + "/" + name + ".png");
}

double ProgramSeat::litShare(const Picture& picture) {
    size_t lit = 0;
    for (size_t i = 0; i < picture.rgb.size(); i += 3)
        lit += picture.rgb[i] > 16 || picture.rgb[i + 1] > 16 || picture.rgb[i + 2] > 16;
    return picture.rgb.empty() ? 0.0 : double(lit) / double(picture.rgb.size() / 3);
}

void ProgramSeat::clickAt(int x, int y) {
    // The GUI takes a press this near the last one and soon after it for a
    // double click, which no button counts: clicks go in to either side by turns.
    m_clickAside = -m_clickAside;
    m_screen->pointAt(x + m_clickAside, y);
    m_screen->click();
}

ProgramSeat::Picture ProgramSeat::waitForSplash(ChildProcess& game) {
    int x = 0, y = 0, width = 0, height = 0;
    if (!waitForLog(game, "entering menu loop...", 45s) || !m_screen->waitForWindow(TITLE, 5s, x, y, width, height))
        return {};
    return steadyPicture();
}

ProgramSeat::Picture ProgramSeat::chooseEnglish() {
    m_screen->pointAt(ENGLISH_X, ENGLISH_Y);
    const Picture pointed = steadyPicture();
    m_screen->click();
    return changedPicture(pointed, 0.3);
}

ProgramSeat::Picture ProgramSeat::askToQuit(const Picture& menu) {
    m_screen->pressKey(XK_Escape);
    return changedPicture(menu, 0.02);
}

void ProgramSeat::answerYes() { clickAt(YES_X, YES_Y); }

ProgramSeat::Picture ProgramSeat::clickAndLook(Point p, const Picture& before, double share) {
    clickAt(p.x, p.y);
    return changedPicture(before, share, 5s);
}

ProgramSeat::Picture ProgramSeat::mainMenu(ChildProcess& game) {
    const Picture splash = waitForSplash(game);
    if (splash.rgb.empty()) return splash;
    return chooseEnglish();
}

ProgramSeat::Picture ProgramSeat::startRace(ChildProcess& game, int races) {
    if (!waitForLog(game, "entering main loop...", 90s, races)) return {};
    // The race's first frames replace the loading picture.
    const Picture waiting = changedPicture(grabScreen(), 0.3, 10s);
    if (!pressSpaceUntilCountdown(game, races)) return {};
    return waitForLog(game, "race: go", 60s, races) ? waiting : Picture{};
}

ProgramSeat::Picture ProgramSeat::leaveRaceByPause(ChildProcess& game, const Picture& race) {
    m_screen->pressKey(XK_Escape);
    if (!waitForLog(game, "race window: pause", 10s)) return {};
    const Picture pause = changedPicture(race, 0.01, 5s);
    clickAt(PAUSE_BACK_TO_MENU.x, PAUSE_BACK_TO_MENU.y);
    return pause;
}

bool ProgramSeat::pressSpaceUntilCountdown(ChildProcess& game, int races, const std::function<void()>& alsoPress) {
    // A Space that comes before the race reads its keys is lost: pressed again until the countdown begins.
    const auto giveUp = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < giveUp) {
        m_screen->pressKey(XK_space);
        if (alsoPress) alsoPress();
        if (waitForLog(game, "race: countdown", 2s, races)) return true;
    }
    return false;
}

void ProgramSeat::inHome(const std::function<void()>& work) const {
    const fs::path before = fs::current_path();
    fs::create_directories(home());
    fs::current_path(home());
    work();
    fs::current_path(before);
}

void ProgramSeat::editConfig(const std::function<void(Config&)>& edit) const {
    fs::create_directories(home());
    Config config(nullptr, home());
    edit(config);
    config.save();
}
