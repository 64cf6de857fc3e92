#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/app/ProgramRun.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ProgramRunTest = ProgramRun;

TEST_F(ProgramRunTest, FirstStartShowsTheSplashThenTheMainMenuAndQuitsWithItsSettingsSaved) {
    auto game = start("first");
    ASSERT_TRUE(game->started());
    const Picture splash = waitForSplash(*game);
    ASSERT_FALSE(splash.rgb.empty()) << game->output();
    int x = -1, y = -1, width = 0, height = 0;
    ASSERT_TRUE(m_screen->waitForWindow(TITLE, 5s, x, y, width, height));
    // Full screen: the window covers the display, whose mode is the configured one.
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(width, SCREEN_WIDTH);
    EXPECT_EQ(height, SCREEN_HEIGHT);
    // A first run writes its settings before its window opens.
    EXPECT_TRUE(fs::exists(home() + "/config.dat"));
    save(splash, "splash");
    EXPECT_GT(litShare(splash), 0.5);

    auto second = start("second");
    EXPECT_EQ(second->waitForExit(10s), 0) << second->output();
    EXPECT_EQ(m_screen->countWindows(TITLE), 1);
    EXPECT_TRUE(game->running());

    const Picture menu = chooseEnglish();
    save(menu, "main-menu");
    EXPECT_GT(VirtualDisplay::differingShare(splash, menu), 0.3);
    EXPECT_GT(litShare(menu), 0.5);

    const Picture question = askToQuit(menu);
    save(question, "quit-question");
    EXPECT_GT(VirtualDisplay::differingShare(menu, question), 0.02);

    answerYes();
    EXPECT_EQ(game->waitForExit(20s), 0) << game->output();
    ASSERT_TRUE(fs::exists(home() + "/config.dat"));
    EXPECT_EQ(fs::file_size(home() + "/config.dat"), 343u);
    EXPECT_NE(log().find("Profiling report"), std::string::npos);
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
    const std::string written = log();
    const size_t report = written.find("cannot open its data archive:\n" + missing);
    EXPECT_NE(report, std::string::npos) << written;
    EXPECT_NE(written.find("Profiling report", report), std::string::npos) << written;
}

TEST_F(ProgramRunTest, ClosingTheWindowEndsTheRunInOrderWhileLoadingOrInTheMenu) {
    auto game = start("closed");
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(m_screen->waitForWindow(TITLE, 45s, x, y, width, height)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
    const std::string written = log();
    EXPECT_NE(written.find("Profiling report"), std::string::npos) << written;
    EXPECT_EQ(written.find("entering main loop..."), std::string::npos) << written;
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
    EXPECT_NE(log().find("Profiling report"), std::string::npos);
}

} // namespace
