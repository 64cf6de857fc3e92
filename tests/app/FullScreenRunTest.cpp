#include <csignal>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <tuple>

#include "tests/app/ProgramSeat.h"

using namespace std::chrono_literals;

namespace {

// The menus' own size.
constexpr int PICTURE_WIDTH = 1024, PICTURE_HEIGHT = 768;
// The English flag on the language screen.
constexpr Point ENGLISH = middle(226, 670, 120, 102);
// The options' display-mode list: its box, and the first entry of the list it drops.
constexpr Point MODE_BOX = middle(193, 525, 300, 40);
constexpr Point FIRST_MODE = {193 + 150, 525 + 40 + 12};
constexpr Point OPTIONS_OK_BUTTON = middle(885, 629, 120, 120);

// The real program on a display of another size than its menus.
class FullScreenRunTest : public ::testing::Test, protected ProgramSeat {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    }

    void openScreen(int width, int height) {
        if (!open(width, height)) GTEST_SKIP() << "no private X server (Xvfb) could start";
    }

    // Where a point of the menus shows on a screen of that size, the picture scaled with its aspect kept.
    static Point onScreen(Point p, int width, int height) {
        const double scale = std::min(double(width) / PICTURE_WIDTH, double(height) / PICTURE_HEIGHT);
        const double left = (width - PICTURE_WIDTH * scale) / 2, top = (height - PICTURE_HEIGHT * scale) / 2;
        return {int(left + (p.x + 0.5) * scale), int(top + (p.y + 0.5) * scale)};
    }

    // The share of lit pixels in rows [from, to) of a picture.
    static double litRows(const Picture& picture, int from, int to) {
        Picture rows;
        rows.width = picture.width;
        rows.height = uint32_t(to - from);
        const size_t stride = size_t(picture.width) * 3;
        rows.rgb.assign(picture.rgb.begin() + ptrdiff_t(stride * size_t(from)),
                        picture.rgb.begin() + ptrdiff_t(stride * size_t(to)));
        return litShare(rows);
    }

    void screenSize(int& width, int& height) { m_screen->size(width, height); }

    // Where the game's window sits and how large it is: x, y, width, height (none: -1, -1, 0, 0).
    std::tuple<int, int, int, int> windowPlace() {
        int x = -1, y = -1, width = 0, height = 0;
        m_screen->waitForWindow(TITLE, 5s, x, y, width, height);
        return {x, y, width, height};
    }

    // Waits until the top rows of a screen of that size are lit: the game draws there.
    bool waitForLitTop(int width, int height, std::chrono::milliseconds timeout) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        while (litRows(m_screen->grab(0, 0, width, height), 0, 4) <= 0.5)
            if (std::chrono::steady_clock::now() > giveUp) return false;
            else std::this_thread::sleep_for(POLL);
        return true;
    }

    // Waits until the display has that size, as a program's mode switch leaves it.
    bool waitForScreenSize(int width, int height, std::chrono::milliseconds timeout) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        int w = 0, h = 0;
        for (screenSize(w, h); (w != width || h != height) && std::chrono::steady_clock::now() < giveUp;
             screenSize(w, h))
            std::this_thread::sleep_for(POLL);
        return w == width && h == height;
    }
};

TEST_F(FullScreenRunTest, WideDisplayShowsTheWholeMenuBetweenBarsClicksLandThroughItAndAModeTakesOverAtOnce) {
    constexpr int WIDTH = 1280, HEIGHT = 1024;
    // 1024 x 768 scaled by 1.25 is 1280 x 960: 32 rows of bar above and below.
    constexpr int BAR = 32;
    openScreen(WIDTH, HEIGHT);
    auto game = start("wide");
    const Picture splash = waitForSplash(*game);
    ASSERT_FALSE(splash.rgb.empty()) << game->output();
    EXPECT_EQ(windowPlace(), std::make_tuple(0, 0, WIDTH, HEIGHT));
    save(splash, "wide-splash");
    EXPECT_EQ(litRows(splash, 0, BAR), 0.0);
    EXPECT_EQ(litRows(splash, HEIGHT - BAR, HEIGHT), 0.0);
    EXPECT_GT(litRows(splash, BAR, BAR + 4), 0.5);
    EXPECT_GT(litRows(splash, HEIGHT - BAR - 4, HEIGHT - BAR), 0.5);

    const Point english = onScreen(ENGLISH, WIDTH, HEIGHT);
    m_screen->pointAt(english.x, english.y);
    const Picture pointed = steadyPicture();
    m_screen->click();
    const Picture menu = changedPicture(pointed, 0.3);
    save(menu, "wide-main-menu");
    ASSERT_GT(VirtualDisplay::differingShare(pointed, menu), 0.3) << "the flag was not hit through the scaled picture";

    const Picture options = clickAndLook(onScreen(OPTIONS, WIDTH, HEIGHT), menu, 0.3);
    save(options, "wide-options");
    ASSERT_GT(VirtualDisplay::differingShare(menu, options), 0.3) << "the options button was not hit";
    EXPECT_EQ(litRows(options, 0, BAR), 0.0);

    // The display's only mode from 800 x 600 up is its own: chosen and confirmed, it fills the screen.
    const Picture dropped = clickAndLook(onScreen(MODE_BOX, WIDTH, HEIGHT), options, 0.002);
    save(dropped, "wide-mode-list");
    const Picture chosen = clickAndLook(onScreen(FIRST_MODE, WIDTH, HEIGHT), dropped, 0.002);
    save(chosen, "wide-mode-chosen");
    const Picture back = clickAndLook(onScreen(OPTIONS_OK_BUTTON, WIDTH, HEIGHT), chosen, 0.3);
    // The main menu shows once more in the old mode; the next frame has the new one.
    Picture native = back;
    const auto giveUp = std::chrono::steady_clock::now() + 15s;
    while (litRows(native, 0, BAR) == 0.0 && std::chrono::steady_clock::now() < giveUp) native = firstChange(native, 0.1);
    native = steadyPicture();
    save(native, "wide-native-mode");
    EXPECT_GT(litRows(native, 0, BAR), 0.5);
    EXPECT_GT(litRows(native, HEIGHT - BAR, HEIGHT), 0.5);
    game->signal(SIGTERM);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

TEST_F(FullScreenRunTest, DisplayWithTheModeSwitchesToItAndGetsItsOwnBackWhileAwayAndOnTermination) {
    openScreen(1280, 1024);
    ASSERT_TRUE(m_screen->offerModes({{1024, 768}, {800, 600}}));
    auto game = start("switched");
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 45s)) << game->output();
    EXPECT_TRUE(waitForScreenSize(1024, 768, 10s));
    EXPECT_EQ(windowPlace(), std::make_tuple(0, 0, 1024, 768));
    // The picture fills the mode exactly: lit to its edges.
    ASSERT_TRUE(waitForLitTop(1024, 768, 30s));
    const Picture splash = m_screen->grab(0, 0, 1024, 768);
    save(splash, "switched-splash");
    EXPECT_GT(litRows(splash, 764, 768), 0.5);

    // Away from the game the display has its own mode; back, the game's again, and it draws.
    m_screen->focusElsewhere();
    EXPECT_TRUE(waitForScreenSize(1280, 1024, 10s));
    m_screen->focusWindow(TITLE);
    EXPECT_TRUE(waitForScreenSize(1024, 768, 10s));
    EXPECT_TRUE(waitForLitTop(1024, 768, 10s));

    game->signal(SIGTERM);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
    int w = 0, h = 0;
    screenSize(w, h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1024);
}

TEST_F(FullScreenRunTest, WindowedSettingGivesAWindowOfTheConfiguredSize) {
    openScreen(1280, 1024);
    const std::string settings = m_dir.file("settings");
    std::ofstream(settings) << "[Software\\Quarnholt\\Morvane]\nWindowed=dword:00000001\n";
    auto game = start("windowed", {{"PLIMZOR_SETTINGS", settings}});
    const Picture splash = waitForSplash(*game);
    ASSERT_FALSE(splash.rgb.empty()) << game->output();
    const auto [x, y, width, height] = windowPlace();
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 768);
    int w = 0, h = 0;
    screenSize(w, h);
    EXPECT_EQ(w, 1280);

    // Unscaled: the menus' points are the window's.
    const Picture menu = clickAndLook({x + ENGLISH.x, y + ENGLISH.y}, splash, 0.3);
    ASSERT_GT(VirtualDisplay::differingShare(splash, menu), 0.3);
    const Picture options = clickAndLook({x + OPTIONS.x, y + OPTIONS.y}, menu, 0.3);
    const Picture dropped = clickAndLook({x + MODE_BOX.x, y + MODE_BOX.y}, options, 0.002);
    // The list begins with "Windowed"; a picture shows it.
    save(m_screen->grab(x, y, width, height), "windowed-mode-list");
    EXPECT_GT(VirtualDisplay::differingShare(options, dropped), 0.002);
    game->signal(SIGTERM);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

} // namespace
