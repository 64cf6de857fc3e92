#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "game/records/Config.h"
#include "tests/app/MinimapDriver.h"
#include "tests/app/ProgramRun.h"
#include "tests/app/ScreenPlaces.h"

using namespace std::chrono_literals;

namespace {

class RaceSetupRunTest : public ProgramRun {};

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
    driver.ride(2.0, 5s);
    const Picture race = grabScreen();
    save(race, "time-trial-race");
    // The keys reached the moped: it rode on along the road.
    EXPECT_GT(driver.ridden(), 30.0);
    EXPECT_GT(VirtualDisplay::differingShare(waiting, race), 0.3);

    const Picture pause = leaveRaceByPause(*game, race);
    ASSERT_FALSE(pause.rgb.empty()) << "no pause window for a quick Escape\n" << game->output();
    save(pause, "time-trial-pause");
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    const Picture back = steadyPicture();
    save(back, "time-trial-back-in-menu");
    EXPECT_LT(VirtualDisplay::differingShare(menu, back), 0.05) << "the main menu again";

    askToQuit(back);
    answerYes();
    EXPECT_EQ(game->waitForExit(20s), 0) << game->output();
    editConfig([](Config& config) {
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
    // The driver's own count may slip where the dots crowd; the menu coming back shows the race ended.
    driver.ride(1.0, 150s);
    ASSERT_TRUE(waitForLog(*game, "race window: single race result", 60s)) << game->output();
    const Picture result = firstChange(grabScreen(), 0.05, 5s);
    save(result, "single-race-result");

    clickAt(RACE_RESULT_OK.x, RACE_RESULT_OK.y);
    // A winner is asked for a name for the high scores first.
    if (!waitForLog(*game, "entering menu loop...", 5s, 2)) clickAt(NAME_ENTRY_SAVE.x, NAME_ENTRY_SAVE.y);
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    save(steadyPicture(), "single-race-after");
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

TEST_F(RaceSetupRunTest, ClosingTheWindowWhileARaceLoadsEndsTheLoadAndTheProgramInOrder) {
    auto game = start("closed-while-loading");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();
    const Picture screen = clickAndLook(SINGLE_RACE, menu, 0.3);
    ASSERT_GT(VirtualDisplay::differingShare(menu, screen), 0.3) << "no single race screen";
    clickAt(SETUP_OK.x, SETUP_OK.y);
    // The loading picture shows once the menu has ended: the race loads behind it.
    const Picture loading = firstChange(screen, 0.3, 10s);
    m_screen->closeWindows(TITLE);
    save(loading, "closed-while-loading");
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
    const std::string written = log();
    EXPECT_EQ(written.find("entering main loop..."), std::string::npos) << "the race never ran\n" << written;
    EXPECT_NE(written.find("loading aborted..."), std::string::npos) << written;
    // The orderly end's last step; a profiling report comes only when profiling gathered something.
    EXPECT_NE(written.find("firewall exception removed"), std::string::npos) << written;
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
    EXPECT_GT(first.ridden(), 15.0) << "the first player's keys";
    EXPECT_GT(second.ridden(), 15.0) << "the second player's keys";

    ASSERT_FALSE(leaveRaceByPause(*game, race).rgb.empty()) << game->output();
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

TEST_F(RaceSetupRunTest, ChampionshipStartsOnItsStoredTrackAndIsLeftForTheMenu) {
    // A championship begins on the stored first track, which no screen changes.
    constexpr int TRACK = 2;
    editConfig([](Config& config) { config.m_settings.m_championshipTrack.value = TRACK; });
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
    driver.ride(1.0, 10s);
    const Picture race = grabScreen();
    save(race, "championship-race");
    EXPECT_GT(driver.ridden(), 30.0) << "the player rides the stored track";

    ASSERT_FALSE(leaveRaceByPause(*game, race).rgb.empty()) << game->output();
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    m_screen->closeWindows(TITLE);
    EXPECT_EQ(game->waitForExit(30s), 0) << game->output();
}

} // namespace
