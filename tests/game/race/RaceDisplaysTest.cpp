#include <gtest/gtest.h>

#include "tests/game/race/HandBuiltRace.h"

TEST(RaceDisplays, ViewShowsItsRidersLapSlotPlaceWrongWayAndFlash) {
    HandBuiltRace r;
    Race& race = r.race;
    const OnscreenDisplays::View& view = race.m_displays->m_views[0];
    race.m_config->m_laps.set(6);
    Config::Player& record = *race.m_config->m_player[0].modify();
    record.lapTimes[4] = 42.0f;
    record.lapTimes[5] = 55.0f;
    record.place = 2;
    VehicleMaster& kart = r.kart(0);
    kart.m_lap.set(5);
    kart.m_rank.set(0);
    race.updateDisplays();
    EXPECT_EQ(view.lap, 6);
    EXPECT_EQ(view.lapCount, 6);
    EXPECT_FLOAT_EQ(view.lapTime, 42.0f);
    EXPECT_EQ(view.position, 1);
    kart.m_trackFinished.set(true);
    race.updateDisplays();
    EXPECT_EQ(view.position, 3);

    race.m_clock->m_currentTime = 10.0f;
    race.m_wrongWay[0] = true;
    race.updateDisplays();
    EXPECT_TRUE(view.wrongWay);
    race.m_wrongWay[0] = false;
    race.m_clock->m_currentTime = 10.3f;
    race.updateDisplays();
    EXPECT_TRUE(view.wrongWay);
    race.m_clock->m_currentTime = 10.6f;
    race.updateDisplays();
    EXPECT_FALSE(view.wrongWay);

    kart.m_flashTimer = 2.5f;
    race.showFlashOverlay(0);
    EXPECT_FLOAT_EQ(view.flashAlpha, 1.0f);
    EXPECT_FLOAT_EQ(view.flashColour[0], 1.0f);
    kart.m_flashTimer = 1.0f;
    race.showFlashOverlay(0);
    EXPECT_FLOAT_EQ(view.flashAlpha, 0.5f);
    EXPECT_FLOAT_EQ(view.flashColour[0], 0.0f);
    kart.m_flashTimer = 0.0f;
    race.showFlashOverlay(0);
    EXPECT_FLOAT_EQ(view.flashAlpha, 0.0f);
}
