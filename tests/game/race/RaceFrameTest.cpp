#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/game/race/HandBuiltRace.h"

using Window = OnscreenDisplays::Window;

TEST(RaceFrame, FrameBehindTheClockTakesTwentyStepsThenJumpsToTheClock) {
    HandBuiltRace r;
    r.startCountdown();
    EXPECT_EQ(r.race.m_lastSteps, 0);
    r.frame(0.35);
    r.frame(0.0);
    EXPECT_EQ(r.race.m_lastSteps, Race::MAX_STEPS_PER_FRAME);
    EXPECT_EQ(r.drivers[0]->steps, Race::MAX_STEPS_PER_FRAME);
    EXPECT_DOUBLE_EQ(r.race.m_simulatedTime, r.race.m_clock->m_currentTime);
    EXPECT_NEAR(r.race.m_simulatedTime, 0.35, 1e-6);
}

TEST(RaceFrame, PauseHaltsStepsAndResumesOnlyAClockThatRan) {
    HandBuiltRace r;
    // P before the countdown: the standing clock must not be set running.
    r.frame(0.0, HandBuiltRace::P);
    r.frame(1.0, HandBuiltRace::P);
    r.frame(1.0);
    EXPECT_FALSE(r.race.m_paused);
    EXPECT_FALSE(r.race.m_clock->isRunning());
    EXPECT_EQ(r.race.m_clock->m_currentTime, 0.0f);

    r.startCountdown();
    r.frame(0.1, HandBuiltRace::P);
    const int before = r.drivers[0]->steps;
    r.frame(0.5);
    r.frame(0.5);
    EXPECT_TRUE(r.race.m_paused);
    EXPECT_EQ(r.drivers[0]->steps, before);
    r.frame(0.0, HandBuiltRace::P);
    r.frame(0.05);
    r.frame(0.0);
    EXPECT_FALSE(r.race.m_paused);
    EXPECT_GT(r.drivers[0]->steps, before);
    EXPECT_NEAR(r.race.m_clock->m_currentTime, 0.15, 1e-4);

    // Escape opens the pause window over a P pause; the clock it stops had run.
    r.frame(0.0, HandBuiltRace::P);
    r.frame(0.0, HandBuiltRace::ESCAPE);
    EXPECT_TRUE(r.race.m_displays->isVisible(Window::PAUSE));
    EXPECT_TRUE(r.race.m_clockRanAtPause);
}

TEST(RaceFrame, SpaceRestartsTheClockAndThePhysicsWithIt) {
    HandBuiltRace r;
    r.frame(2.0);
    EXPECT_EQ(r.race.m_lastSteps, 0);
    EXPECT_EQ(r.race.m_countdownState, Race::WAITING);
    // Physics stepped on a clock that ran before the countdown.
    r.race.m_simulatedTime = 5.0;
    r.startCountdown();
    EXPECT_EQ(r.race.m_countdownState, 1);
    EXPECT_TRUE(r.race.m_clock->isRunning());
    r.frame(0.05);
    r.frame(0.0);
    EXPECT_GE(r.race.m_lastSteps, 5);
    EXPECT_NEAR(r.race.m_simulatedTime, 0.05, 0.011);
}

TEST(RaceFrame, CountdownShowsEachImageOnceItsSecondComesAndPlaysEachSoundOnce) {
    HandBuiltRace r;
    r.frame(1.0);
    EXPECT_TRUE(r.race.m_displays->m_views[0].startPanel);
    EXPECT_EQ(r.countPlays(), 0);
    r.startCountdown();
    EXPECT_FALSE(r.race.m_displays->m_views[0].startPanel);
    EXPECT_TRUE(r.race.m_displays->m_views[0].countdownVisible);
    std::vector<int> images;
    for (int i = 0; i < 18; ++i) {
        r.frame(0.25);
        const OnscreenDisplays::View& view = r.race.m_displays->m_views[0];
        if (view.countdownVisible && (images.empty() || images.back() != view.countdown)) images.push_back(view.countdown);
        if (r.race.m_clock->m_currentTime < 3.0f) {
            EXPECT_FALSE(r.kart(0).m_active.get());
            EXPECT_EQ(r.startPlays(), 0);
        }
    }
    EXPECT_EQ(images, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(r.countPlays(), 3);
    EXPECT_EQ(r.startPlays(), 1);
    EXPECT_EQ(r.race.m_countdownState, Race::RUNNING);
    EXPECT_FALSE(r.race.m_displays->m_views[0].countdownVisible);
    EXPECT_TRUE(r.kart(0).m_active.get());
    EXPECT_NEAR(r.race.m_raceStartTime, 3.0f, 0.26f);
}

TEST(RaceFrame, CountdownSecondSkippedLosesOnlyThatSecondsSound) {
    HandBuiltRace r;
    r.startCountdown();
    r.frame(0.5);
    r.frame(0.0);
    EXPECT_EQ(r.race.m_displays->m_views[0].countdown, 3);
    EXPECT_EQ(r.countPlays(), 1);
    r.frame(1.7);
    r.frame(0.0);
    EXPECT_EQ(r.race.m_displays->m_views[0].countdown, 1);
    EXPECT_EQ(r.countPlays(), 2);
    r.frame(1.0);
    r.frame(0.0);
    EXPECT_EQ(r.race.m_displays->m_views[0].countdown, 0);
    EXPECT_EQ(r.countPlays(), 2);
    EXPECT_EQ(r.startPlays(), 1);
}

TEST(RaceFrame, ResultWindowOpensOnceTwoSecondsAfterRaceOver) {
    HandBuiltRace r;
    r.startCountdown();
    r.frame(5.0);
    r.frame(0.0);
    r.race.m_raceOver = true;
    r.race.m_raceOverTime = r.race.clockTime();
    r.race.m_displays->showPausePanels();
    r.frame(1.9);
    r.frame(0.0);
    EXPECT_FALSE(r.race.m_displays->isVisible(Window::SINGLE_RACE_RESULT));
    r.frame(0.1);
    r.frame(0.0);
    EXPECT_TRUE(r.race.m_displays->isVisible(Window::SINGLE_RACE_RESULT));
    EXPECT_TRUE(r.race.m_resultsShown);
    EXPECT_FALSE(r.race.m_displays->m_views[0].pausePanel);
    // Closed by the player, it stays closed.
    r.race.m_displays->m_visible[Window::SINGLE_RACE_RESULT] = false;
    r.frame(1.0);
    EXPECT_FALSE(r.race.m_displays->isVisible(Window::SINGLE_RACE_RESULT));
    EXPECT_FALSE(r.race.m_leaveRace);
}

TEST(RaceFrame, DrawsEachViewInItsHalfThenTheGuiOverTheWholeScreen) {
    RecordingRenderDevice device;
    SceneRenderer renderer(device.device());
    renderer.m_screenWidth = 800;
    renderer.m_screenHeight = 600;
    HandBuiltRace r(2, 2, &renderer);
    r.race.m_viewRider[1] = 1;
    device.recording().clearCalls();
    r.frame(0.0);

    const std::vector<std::string>& calls = device.recording().calls();
    auto at = [&](const std::string& call, size_t from = 0) {
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].rfind(call, 0) == 0) return i;
        return calls.size();
    };
    const size_t begin = at("beginScene");
    const size_t top = at("setViewport 0 0 800 300 0 1", begin);
    const size_t bottom = at("setViewport 0 300 800 300 0 1", top);
    const size_t whole = at("setViewport 0 0 800 600 0 1", bottom);
    const size_t end = at("endScene", whole);
    EXPECT_LT(at("clear 0 7 00000000 1 0"), begin);
    EXPECT_LT(end, calls.size());
    EXPECT_LT(at("draw", top), bottom);
    EXPECT_EQ(at("present", end), end + 1);
}

TEST(RaceFrame, LanGameWithoutItsServerShowsConnectionLostAndStopsTheRiders) {
    HandBuiltRace r;
    r.race.m_config->m_playMode = Race::LAN;
    r.kart(0).m_active.set(true);
    r.frame(0.0, HandBuiltRace::P);
    EXPECT_FALSE(r.race.m_paused);
    ASSERT_TRUE(r.race.m_displays->isVisible(Window::CONNECTION_LOST));
    const int32_t status = NetControl::getInstance().getStatus();
    EXPECT_EQ(r.race.m_displays->m_connectionLostText,
              status == NetControl::STATUS_ENDED_BY_HOST ? 9140 : status == NetControl::STATUS_ENDED ? 9110 : 9100);
    EXPECT_FALSE(r.kart(0).m_active.get());
    // Escape over the connection-lost window opens no pause window.
    r.frame(0.0, HandBuiltRace::ESCAPE);
    EXPECT_FALSE(r.race.m_displays->isVisible(Window::PAUSE));
}

TEST(RaceFrame, LanCountdownWaitsForEveryRidersSpaceInTheRaceNotForTheLobbysReady) {
    HandBuiltRace r(2);
    Config& config = *r.race.m_config;
    config.m_playMode = Race::LAN;
    config.m_playerKind[1] = Race::REMOTE;
    // The other player's ready from the lobby, still there while its copy loads.
    config.m_player[1].modify()->ready = 1;
    r.frame(0.0, HandBuiltRace::SPACE);
    r.frame(1.0);
    EXPECT_EQ(r.race.m_countdownState, Race::WAITING) << "started alone";
    EXPECT_EQ(config.m_player[0].get().raceReady, 1);

    // Its Space in its own race comes over the network.
    config.m_player[1].modify()->raceReady = 1;
    r.frame(0.0);
    EXPECT_EQ(r.race.m_countdownState, 0);
    for (int second = 0; second <= 4; ++second) r.frame(1.0);
    EXPECT_EQ(r.race.m_countdownState, Race::RUNNING);
    EXPECT_EQ(config.m_player[0].get().ready, 0);
    EXPECT_EQ(config.m_player[0].get().raceReady, 0);
}
