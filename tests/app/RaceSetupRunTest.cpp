#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "game/Config.h"
#include "tests/app/MinimapDriver.h"
#include "tests/app/ProgramRun.h"
#include "tools/demodata/tracks/DemoTracks.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Point {
    int x, y;
};

// The middle of a w x h widget at x, y.
constexpr Point middle(int x, int y, int w, int h) { return {x + w / 2, y + h / 2}; }

// Main menu buttons, 90 x 90.
constexpr Point TIME_TRIAL = middle(257, 528, 90, 90);
constexpr Point SINGLE_RACE = middle(48, 446, 90, 90);
constexpr Point CHAMPIONSHIP = middle(465, 585, 90, 90);
constexpr Point TWO_PLAYERS = middle(882, 634, 90, 90);

// The time trial and single race screens.
constexpr Point SETUP_OK = middle(885, 629, 120, 120);
constexpr Point COLOUR_NEXT = middle(463, 227, 45, 45);
constexpr Point MODEL_NEXT = middle(353, 305, 90, 90);
constexpr Point TRACK_NEXT = middle(799, 306, 90, 90);
constexpr Point LAPS_PREVIOUS = middle(158, 657, 90, 90);

// The two-player screen.
constexpr Point TWO_PLAYERS_OK = middle(885, 629, 120, 120);
constexpr Point TWO_PLAYERS_LAPS_PREVIOUS = middle(158, 522, 90, 90);
constexpr Point TWO_PLAYERS_TRACK_NEXT = middle(729, 540, 90, 90);
constexpr Point TWO_PLAYERS_MODE = middle(417, 658, 90, 90);

// The championship screen.
constexpr Point CHAMPIONSHIP_OK = middle(885, 628, 120, 120);

// Race windows: buttons inside their frames.
constexpr Point PAUSE_BACK_TO_MENU = middle(292 + 60, 204 + 250, 320, 60);
constexpr Point RACE_RESULT_OK = middle(199 + 240, 104 + 470, 200, 60);
constexpr Point NAME_ENTRY_SAVE = middle(262 + 180, 184 + 310, 180, 60);

// Laps: how far before the road's first point a rider may count as finished.
constexpr double LINE_MARGIN = 0.01;

// The countdown runs three seconds from Space.
constexpr auto COUNTDOWN = 3500ms;

// The demo track the race index names.
Centreline road(int track) { return Centreline(demoTracks()[size_t(track)].centreline()); }

// The demo track whose lap is shortest, as a race index.
int shortestTrack() {
    int shortest = 0;
    for (int t = 1; t < int(demoTracks().size()); ++t)
        if (road(t).length() < road(shortest).length()) shortest = t;
    return shortest;
}

// The configuration as the program keeps it in its home: read, changed by
// `edit` and written back. The game reads and writes "config.dat" where it works.
void editConfig(const std::string& home, const std::function<void(Config&)>& edit) {
    const fs::path before = fs::current_path();
    fs::create_directories(home);
    fs::current_path(home);
    {
        Config config(nullptr);
        edit(config);
        config.save();
    }
    fs::current_path(before);
}

class RaceSetupRunTest : public ProgramRun {
protected:
    // Clicks and waits until the picture changed by that share.
    Picture clickAndLook(Point p, const Picture& before, double share = 0.002) {
        clickAt(p.x, p.y);
        return changedPicture(before, share, 5s);
    }

    // From the start on a fresh home to the English main menu.
    Picture mainMenu(ChildProcess& game) {
        const Picture splash = waitForSplash(game);
        if (splash.rgb.empty()) return splash;
        return chooseEnglish();
    }

    // Waits for the race to come up and starts its countdown: the picture before Space.
    Picture startRace(ChildProcess& game, int races = 1) {
        if (!waitForLog(game, "entering main loop...", 90s, races)) return {};
        // The first frames of the race draw while the loading picture goes.
        std::this_thread::sleep_for(2s);
        const Picture waiting = grabScreen();
        m_screen->pressKey(XK_space);
        std::this_thread::sleep_for(COUNTDOWN);
        return waiting;
    }

    // Rides until the driver has come that many laps and a little more, or
    // stands about there (a finished rider rolls out, and the game's line may
    // lie a little before the road's first point), or the time is up.
    void ride(MinimapDriver& driver, double laps, std::chrono::seconds timeout) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        auto lastMove = std::chrono::steady_clock::now();
        double last = driver.lapsDriven();
        while (driver.lapsDriven() < laps + 0.02 && std::chrono::steady_clock::now() < giveUp) {
            driver.step();
            const auto now = std::chrono::steady_clock::now();
            if (driver.lapsDriven() != last) {
                last = driver.lapsDriven();
                lastMove = now;
            } else if (last >= laps - LINE_MARGIN && now - lastMove > 2s) {
                break;
            }
            std::this_thread::sleep_for(30ms);
        }
        driver.release();
    }

    // Escape, then "Back to menu" in the pause window: the window's picture.
    Picture leaveByPause(const Picture& race) {
        m_screen->pressKey(XK_Escape);
        const Picture pause = changedPicture(race, 0.01, 5s);
        clickAt(PAUSE_BACK_TO_MENU.x, PAUSE_BACK_TO_MENU.y);
        return pause;
    }
};

TEST_F(RaceSetupRunTest, TimeTrialChosenOnAFreshStartIsRiddenPausedAndLeftForTheMenu) {
    auto game = start("time-trial");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();

    const Picture screen = clickAndLook(TIME_TRIAL, menu, 0.3);
    save(screen, "time-trial-screen");
    ASSERT_GT(VirtualDisplay::differingShare(menu, screen), 0.3) << "no time trial screen";
    Picture chosen = clickAndLook(MODEL_NEXT, screen);
    chosen = clickAndLook(COLOUR_NEXT, chosen);
    const Picture track = clickAndLook(TRACK_NEXT, chosen);
    chosen = clickAndLook(LAPS_PREVIOUS, track);
    chosen = clickAndLook(LAPS_PREVIOUS, chosen);
    save(chosen, "time-trial-choices");
    EXPECT_GT(VirtualDisplay::differingShare(chosen, track), 0.0) << "the laps caption changes";
    clickAt(SETUP_OK.x, SETUP_OK.y);

    const Picture waiting = startRace(*game);
    ASSERT_FALSE(waiting.rgb.empty()) << game->output();
    save(waiting, "time-trial-waiting");
    MinimapDriver driver(*m_screen, road(1));
    // The mall's start lies on a long straight.
    driver.rideStraight();
    ride(driver, 2.0, 5s);
    const Picture race = grabScreen();
    save(race, "time-trial-race");
    // The keys reached the moped: it rode on along the road.
    EXPECT_GT(driver.lapsDriven() * road(1).length(), 30.0);
    EXPECT_GT(VirtualDisplay::differingShare(waiting, race), 0.3);

    const Picture pause = leaveByPause(race);
    save(pause, "time-trial-pause");
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    const Picture back = steadyPicture();
    save(back, "time-trial-back-in-menu");
    EXPECT_LT(VirtualDisplay::differingShare(menu, back), 0.05) << "the main menu again";

    askToQuit(back);
    answerYes();
    EXPECT_EQ(game->waitForExit(20s), 0) << game->output();
    editConfig(home(), [](Config& config) {
        ASSERT_TRUE(config.load());
        const Config::Settings& s = config.m_settings;
        EXPECT_EQ(s.m_language, 1);
        EXPECT_EQ(s.m_timeTrialModel.value, 1);
        EXPECT_EQ(s.m_timeTrialColour.value, 1);
        EXPECT_EQ(s.m_timeTrialTrack.value, 1);
        EXPECT_EQ(s.m_timeTrialLaps, 1);
    });
}

TEST_F(RaceSetupRunTest, SingleRaceOfOneLapEndsWhenThePlayerFinishesAndShowsTheResult) {
    auto game = start("single-race");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();
    Picture screen = clickAndLook(SINGLE_RACE, menu, 0.3);
    ASSERT_GT(VirtualDisplay::differingShare(menu, screen), 0.3) << "no single race screen";
    const int track = shortestTrack();
    for (int t = 0; t < track; ++t) screen = clickAndLook(TRACK_NEXT, screen);
    screen = clickAndLook(LAPS_PREVIOUS, screen);
    screen = clickAndLook(LAPS_PREVIOUS, screen);
    save(screen, "single-race-choices");
    clickAt(SETUP_OK.x, SETUP_OK.y);

    ASSERT_FALSE(startRace(*game).rgb.empty()) << game->output();
    // The computer riders finish, but the race waits for the player.
    MinimapDriver driver(*m_screen, road(track));
    ride(driver, 1.0, 150s);
    ASSERT_GE(driver.lapsDriven(), 1.0 - LINE_MARGIN);
    std::this_thread::sleep_for(4s);
    const Picture result = grabScreen();
    save(result, "single-race-result");

    clickAt(RACE_RESULT_OK.x, RACE_RESULT_OK.y);
    // A winner is asked for a name for the high scores first.
    if (!waitForLog(*game, "entering menu loop...", 5s, 2)) clickAt(NAME_ENTRY_SAVE.x, NAME_ENTRY_SAVE.y);
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    save(steadyPicture(), "single-race-after");
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

TEST_F(RaceSetupRunTest, TwoPlayerRaceSplitsTheScreenAndEachPlayerRidesByTheirOwnKeys) {
    auto game = start("two-players");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();
    Picture screen = clickAndLook(TWO_PLAYERS, menu, 0.3);
    ASSERT_GT(VirtualDisplay::differingShare(menu, screen), 0.3) << "no two-player screen";
    // From the championship to a single race, which has laps and a track to choose.
    screen = clickAndLook(TWO_PLAYERS_MODE, screen);
    screen = clickAndLook(TWO_PLAYERS_LAPS_PREVIOUS, screen);
    screen = clickAndLook(TWO_PLAYERS_LAPS_PREVIOUS, screen);
    screen = clickAndLook(TWO_PLAYERS_TRACK_NEXT, screen);
    save(screen, "two-players-choices");
    clickAt(TWO_PLAYERS_OK.x, TWO_PLAYERS_OK.y);

    const Picture waiting = startRace(*game);
    ASSERT_FALSE(waiting.rgb.empty()) << game->output();
    save(waiting, "two-players-waiting");
    MinimapDriver first(*m_screen, road(1), MinimapDriver::UPPER_VIEW, MinimapDriver::FIRST_PLAYER);
    MinimapDriver second(*m_screen, road(1), MinimapDriver::LOWER_VIEW, MinimapDriver::SECOND_PLAYER);
    first.rideStraight();
    second.rideStraight();
    // A few seconds down the mall's starting straight.
    const auto giveUp = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < giveUp) {
        first.step();
        second.step();
        std::this_thread::sleep_for(30ms);
    }
    const Picture race = grabScreen();
    first.release();
    second.release();
    save(race, "two-players-race");
    EXPECT_GT(first.lapsDriven() * road(1).length(), 15.0) << "the first player's keys";
    EXPECT_GT(second.lapsDriven() * road(1).length(), 15.0) << "the second player's keys";

    leaveByPause(race);
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

TEST_F(RaceSetupRunTest, ChampionshipStartsOnItsStoredTrackAndIsLeftForTheMenu) {
    // A championship begins on the stored first track, which no screen changes.
    constexpr int TRACK = 2;
    editConfig(home(), [](Config& config) { config.m_settings.m_championshipTrack.value = TRACK; });
    auto game = start("championship");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();
    const Picture screen = clickAndLook(CHAMPIONSHIP, menu, 0.3);
    save(screen, "championship-screen");
    ASSERT_GT(VirtualDisplay::differingShare(menu, screen), 0.3) << "no championship screen";
    clickAt(CHAMPIONSHIP_OK.x, CHAMPIONSHIP_OK.y);

    const Picture waiting = startRace(*game);
    ASSERT_FALSE(waiting.rgb.empty()) << game->output();
    save(waiting, "championship-waiting");
    MinimapDriver driver(*m_screen, road(TRACK));
    ride(driver, 1.0, 10s);
    const Picture race = grabScreen();
    save(race, "championship-race");
    EXPECT_GT(driver.lapsDriven() * road(TRACK).length(), 30.0) << "the player rides the stored track";

    leaveByPause(race);
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

} // namespace
