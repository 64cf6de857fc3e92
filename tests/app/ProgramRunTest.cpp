#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "tests/app/ChildProcess.h"
#include "tests/app/VirtualDisplay.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Picture = VirtualDisplay::Picture;

namespace {

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;
const char* const TITLE = "plimzor2";
constexpr auto POLL = 100ms;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The real program on a private virtual display, driven by real input
// events, with its own home, instance folder and no settings file.
class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
        m_screen = std::make_unique<VirtualDisplay>(SCREEN_WIDTH, SCREEN_HEIGHT, m_dir.file("xvfb.log"));
        if (!m_screen->ready()) GTEST_SKIP() << "no private X server (Xvfb) could start";
        fs::create_directories(m_dir.file("instance"));
        fs::create_directories(PICTURE_FOLDER);
    }

    std::string home() const { return m_dir.file("home"); }

    std::unique_ptr<ChildProcess> start(const std::string& name, std::map<std::string, std::string> extra = {}) {
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
        return std::make_unique<ChildProcess>(std::vector<std::string>{PLIMZOR2_PATH}, variables,
                                              m_dir.file(name + ".out"));
    }

    // False when the game ended or the time ran out first.
    bool waitForLog(ChildProcess& game, const std::string& line, std::chrono::milliseconds timeout) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < giveUp && game.running()) {
            if (readFile(home() + "/log.txt").find(line) != std::string::npos) return true;
            std::this_thread::sleep_for(POLL);
        }
        return false;
    }

    Picture grabScreen() { return m_screen->grab(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT); }

    // Two grabs a moment apart that agree: the program has drawn what it will draw.
    Picture steadyPicture(std::chrono::milliseconds timeout = 10s) {
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

    // The first picture that differs from `before` in at least that share of its pixels, once steady.
    Picture changedPicture(const Picture& before, double share, std::chrono::milliseconds timeout = 15s) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < giveUp) {
            if (VirtualDisplay::differingShare(before, grabScreen()) >= share) return steadyPicture();
            std::this_thread::sleep_for(POLL);
        }
        return grabScreen();
    }

    static void save(const Picture& picture, const std::string& name) {
        sys::gfx::writePng(picture, std::string(PICTURE_FOLDER) + "/" + name + ".png");
    }

    TempDir m_dir;
    std::unique_ptr<VirtualDisplay> m_screen;
};

// The share of a picture's pixels that are not black.
double litShare(const Picture& picture) {
    size_t lit = 0;
    for (size_t i = 0; i < picture.rgb.size(); i += 3)
        lit += picture.rgb[i] > 16 || picture.rgb[i + 1] > 16 || picture.rgb[i + 2] > 16;
    return picture.rgb.empty() ? 0.0 : double(lit) / double(picture.rgb.size() / 3);
}

TEST_F(ProgramRunTest, FirstStartShowsTheSplashThenTheMainMenuAndQuitsWithItsSettingsSaved) {
    auto game = start("first");
    ASSERT_TRUE(game->started());
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 45s)) << game->output();
    int x = -1, y = -1, width = 0, height = 0;
    ASSERT_TRUE(m_screen->waitForWindow(TITLE, 5s, x, y, width, height));
    // Full screen: the mode's size in the screen's corner.
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(width, SCREEN_WIDTH);
    EXPECT_EQ(height, SCREEN_HEIGHT);
    // A first run writes its settings before its window opens.
    EXPECT_TRUE(fs::exists(home() + "/config.dat"));

    const Picture splash = steadyPicture();
    save(splash, "splash");
    EXPECT_GT(litShare(splash), 0.5);

    auto second = start("second");
    EXPECT_EQ(second->waitForExit(10s), 0) << second->output();
    EXPECT_EQ(m_screen->countWindows(TITLE), 1);
    EXPECT_TRUE(game->running());

    // The English flag, 120 x 102 at 226, 670.
    m_screen->pointAt(226 + 60, 670 + 51);
    const Picture pointed = steadyPicture();
    m_screen->click();
    const Picture menu = changedPicture(pointed, 0.3);
    save(menu, "main-menu");
    EXPECT_GT(VirtualDisplay::differingShare(splash, menu), 0.3);
    EXPECT_GT(litShare(menu), 0.5);

    m_screen->pressKey(XK_Escape);
    const Picture question = changedPicture(menu, 0.02);
    save(question, "quit-question");
    EXPECT_GT(VirtualDisplay::differingShare(menu, question), 0.02);

    // "Yes": 150 x 50 at 20, 230 in the quit frame at 261, 184.
    m_screen->pointAt(261 + 20 + 75, 184 + 230 + 25);
    m_screen->click();
    EXPECT_EQ(game->waitForExit(20s), 0) << game->output();
    ASSERT_TRUE(fs::exists(home() + "/config.dat"));
    EXPECT_EQ(fs::file_size(home() + "/config.dat"), 343u);
    EXPECT_NE(readFile(home() + "/log.txt").find("Profiling report"), std::string::npos);
}

TEST_F(ProgramRunTest, MissingArchiveIsReportedInABoxAndTheLogAndTheRunShutsDown) {
    const std::string missing = m_dir.file("nowhere/data.sar");
    auto game = start("missing", {{"PLIMZOR_DATA", missing}});
    // The box needs the X server's core fonts; without them its text goes to standard error.
    int x = 0, y = 0, width = 0, height = 0;
    bool box = false;
    const auto giveUp = std::chrono::steady_clock::now() + 30s;
    while (!box && game->running() && std::chrono::steady_clock::now() < giveUp)
        box = m_screen->waitForWindow("Error", POLL, x, y, width, height);
    if (box) {
        save(m_screen->grab(x, y, width, height), "missing-archive");
        // Nothing of the game shows behind the box.
        EXPECT_EQ(m_screen->countWindows(TITLE), 0);
        m_screen->pointAt(x + width / 2, y + height / 2);
        m_screen->pressKey(XK_Return);
    }
    EXPECT_EQ(game->waitForExit(20s), 1) << game->output();
    if (!box) EXPECT_NE(game->output().find("cannot open its data archive:\n" + missing), std::string::npos);
    const std::string log = readFile(home() + "/log.txt");
    const size_t report = log.find("cannot open its data archive:\n" + missing);
    EXPECT_NE(report, std::string::npos) << log;
    EXPECT_NE(log.find("Profiling report", report), std::string::npos) << log;
}

TEST_F(ProgramRunTest, ClosingTheWindowEndsTheRunInOrderWhileLoadingOrInTheMenu) {
    auto game = start("closed");
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(m_screen->waitForWindow(TITLE, 45s, x, y, width, height)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
    const std::string log = readFile(home() + "/log.txt");
    EXPECT_NE(log.find("Profiling report"), std::string::npos) << log;
    EXPECT_EQ(log.find("entering main loop..."), std::string::npos) << log;
}

TEST_F(ProgramRunTest, FrameLimitEndsTheRunAndTellsTheMeanFrameTime) {
    auto game = start("frames", {{"PLIMZOR_FRAMES", "30"}});
    EXPECT_EQ(game->waitForExit(60s), 0) << game->output();
    const std::string output = game->output();
    EXPECT_NE(output.find("menu: 30 frames, mean frame time "), std::string::npos) << output;
    EXPECT_NE(output.find("race: 0 frames"), std::string::npos) << output;
    const std::string allFrames = "all: 30 frames, mean frame time ";
    const size_t all = output.find(allFrames);
    ASSERT_NE(all, std::string::npos) << output;
    EXPECT_GT(std::atof(output.c_str() + all + allFrames.size()), 0.0);
    EXPECT_NE(readFile(home() + "/log.txt").find("Profiling report"), std::string::npos);
}

} // namespace
