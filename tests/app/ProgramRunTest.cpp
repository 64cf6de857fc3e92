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
    EXPECT_GT(fs::file_size(home() + "/CEGUI.log"), 0u);
    const std::string written = log();
    EXPECT_NE(written.find("firewall exception removed"), std::string::npos);
    // The driver as a Linux player's log can name it.
    const size_t driver = written.find("  OpenGL renderer: ");
    ASSERT_NE(driver, std::string::npos) << written;
    const std::string line = written.substr(driver, written.find('\n', driver) - driver);
    EXPECT_NE(line.find(", version: "), std::string::npos) << line;
    EXPECT_NE(line.find(", vendor: "), std::string::npos) << line;
    EXPECT_EQ(written.find("Driver Version"), std::string::npos) << written;
    // Nothing on standard error in a normal run (nor a sample text from the firewall stand-in).
    EXPECT_EQ(game->output(), "");
    EXPECT_EQ(second->output(), "plimzor2: the game is already running\n");
}

TEST_F(ProgramRunTest, ClosingTheWindowEndsTheRunInOrderWhileLoadingOrInTheMenu) {
    auto game = start("closed");
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(m_screen->waitForWindow(TITLE, 45s, x, y, width, height)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
    const std::string written = log();
    EXPECT_NE(written.find("firewall exception removed"), std::string::npos) << written;
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
    EXPECT_NE(log().find("firewall exception removed"), std::string::npos);
}

} // namespace
