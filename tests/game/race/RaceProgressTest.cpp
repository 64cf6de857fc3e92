// Laps, ranks, wrong way, elimination and results of riders whose progress
// the test places by hand, as the position map would report it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <memory>

#include "engine/platform/Timer.h"
#include "engine/platform/gui/GuiHelper.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/karts/VehicleClient.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "tests/game/ScriptedDriver.h"
#include "tests/game/race/RaceTestSupport.h"

namespace {

class RaceProgress : public ::testing::Test {
protected:
    // Karts made by hand read no respawn points.
    RaceProgress() : m_oldFiles(g_fileSystem) { g_fileSystem = nullptr; }
    ~RaceProgress() override { g_fileSystem = m_oldFiles; }

    // Five riders, rider 0 the player shown in view 0, the race running since clock 1.0.
    void startRace(int game, int laps) {
        if (!m_setup) m_setup = std::make_unique<RaceConfig>(game, 0, laps);
        Config& config = m_setup->config();
        config.m_game.set(game);
        config.m_laps.set(laps);
        g_race = &m_race;
        m_race.m_config = &config;
        m_race.m_vehicleCount = Race::MAX_VEHICLES;
        for (auto& vehicle : m_race.m_vehicles) vehicle.reset();
        for (int i = 0; i < Race::MAX_VEHICLES; ++i) {
            m_drivers[i] = new ScriptedDriver;
            m_drivers[i]->gas = 1;
            m_race.m_vehicles[i] = std::make_unique<VehicleMaster>("moped.lwo", nullptr,
                                                                   std::unique_ptr<Controller>(m_drivers[i]), i,
                                                                   m_race.m_vehicleRecord,
                                                                   std::make_unique<VehicleSettings>(0, ""), i, 1.0f,
                                                                   1.0f, m_client);
            m_race.m_vehicles[i]->m_playerRecord = &config.m_player[i];
            std::snprintf(config.m_player[i].modify()->name, Config::NAME_SIZE, "Rider %d", i);
            m_race.m_vehicles[i]->m_active = true;
        }
        m_race.m_clock = std::make_unique<Timer>();
        m_race.m_displays.reset(OnscreenDisplays::create(m_race));
        m_race.m_cameraMode[0] = Race::CHASE;
        m_race.resetProgress();
        at(1.0f);
        m_race.m_raceStartTime = 1.0f;
        m_race.m_countdownState = Race::RUNNING;
    }

    VehicleMaster& rider(int i) { return *m_race.m_vehicles[i]->asMaster(); }
    Vehicle& kart(int i) { return *m_race.m_vehicles[i]; }
    const Config::Player& record(int i) { return m_setup->config().m_player[i].get(); }
    void at(float clock) { m_race.m_clock->m_currentTime = clock; }
    int countActive() {
        int active = 0;
        for (int i = 0; i < Race::MAX_VEHICLES; ++i) active += rider(i).m_active.get() ? 1 : 0;
        return active;
    }

    // The position map's next value under the rider.
    void arrive(int i, int value) {
        int32_t* history = kart(i).m_positionHistory;
        std::memmove(history + 1, history, 3 * sizeof(int32_t));
        history[0] = value;
        m_race.updateProgress();
    }
    // All sectors behind it, at the given progress.
    void standAt(int i, int lap, int value) {
        kart(i).m_lap = lap;
        std::fill_n(kart(i).m_positionHistory, 4, value);
        kart(i).m_sectorMask = 0xFFFF;
    }
    // What the checkpoint does at the finish line.
    void touchLine(int i) {
        kart(i).m_sectorMask |= 1;
        kart(i).m_crossedLine = true;
        m_race.updateProgress();
    }
    // A whole lap forwards and over the line.
    void driveLap(int i) {
        arrive(i, 5);
        for (int value = 16; value < 256; value += 16) arrive(i, value);
        touchLine(i);
    }

    File* m_oldFiles;
    NetControl m_client;
    std::unique_ptr<RaceConfig> m_setup;
    Race m_race;
    ScriptedDriver* m_drivers[Race::MAX_VEHICLES] = {};
};

TEST_F(RaceProgress, SectorsFillForwardsEmptyBackwardsAndTheLineBackwardsChangesNothing) {
    startRace(Race::SINGLE_RACE, 3);
    touchLine(0);
    ASSERT_EQ(rider(0).m_lap.get(), 0);
    EXPECT_EQ(rider(0).m_sectorMask, 0u);

    for (int value = 16; value <= 240; value += 16) arrive(0, value);
    EXPECT_EQ(rider(0).m_sectorMask, 0xFFFEu);
    arrive(0, 200); // back from sector 15 to 12
    EXPECT_EQ(rider(0).m_sectorMask, 0x1FFEu);
    arrive(0, 250);
    EXPECT_EQ(rider(0).m_sectorMask, 0xFFFEu);
    // Over the line and back again: the line is the checkpoint's.
    arrive(0, 5);
    arrive(0, 250);
    EXPECT_EQ(rider(0).m_sectorMask, 0xFFFEu);

    // Crossing without every sector counts no lap and starts the sectors again.
    arrive(0, 200);
    touchLine(0);
    EXPECT_EQ(rider(0).m_lap.get(), 0);
    EXPECT_EQ(rider(0).m_sectorMask, 0u);
    EXPECT_FALSE(rider(0).m_crossedLine);
    driveLap(0);
    EXPECT_EQ(rider(0).m_lap.get(), 1);
}

TEST_F(RaceProgress, OneLapRaceFinishesAtTheSecondCrossingWithPlaceTimeAndPoints) {
    startRace(Race::SINGLE_RACE, 1);
    at(2.0f);
    touchLine(0);
    EXPECT_EQ(rider(0).m_lap.get(), 0);
    EXPECT_EQ(record(0).bestLap, 0.0f);
    EXPECT_FALSE(rider(0).m_trackFinished.get());

    at(31.0f);
    driveLap(0);
    EXPECT_EQ(rider(0).m_lap.get(), 1);
    EXPECT_TRUE(rider(0).m_trackFinished.get());
    EXPECT_FALSE(rider(0).m_active.get());
    EXPECT_EQ(record(0).place, 0);
    EXPECT_EQ(record(0).startRank, 0);
    EXPECT_FLOAT_EQ(record(0).raceTime, 30.0f);
    EXPECT_FLOAT_EQ(record(0).bestLap, 30.0f);
    EXPECT_EQ(record(0).racePoints, 10);
    EXPECT_EQ(m_race.m_cameraMode[0], Race::FINISHED);

    // Only the computer riders are left: the race is over.
    at(32.0f);
    m_race.updateProgress();
    EXPECT_TRUE(m_race.m_raceOver);
    EXPECT_EQ(m_race.m_raceOverTime, 32.0f);
}

TEST_F(RaceProgress, AnotherComputersRiderFinishesOnlyWhenItsOwnComputerSaysSo) {
    startRace(Race::SINGLE_RACE, 1);
    // Rider 1 rides on another computer: this one sees it only through the values it receives.
    m_race.m_vehicles[1] = std::make_unique<VehicleClient>("moped.lwo", nullptr, nullptr, 1, m_race.m_vehicleRecord,
                                                           std::make_unique<VehicleSettings>(0, ""), 1, 1.0f, 1.0f,
                                                           m_client);
    kart(1).m_playerRecord = &m_setup->config().m_player[1];
    kart(1).m_active.setData(reinterpret_cast<const uint8_t*>("\1"), 1);
    kart(1).m_active.commit();
    at(2.0f);
    touchLine(1);
    at(9.0f);
    // Its positions jump a whole lap at once, as after a late set-up or a lost second.
    driveLap(1);
    EXPECT_TRUE(kart(1).m_active.get()) << "a lap counted here stopped another computer's rider";
    EXPECT_FALSE(kart(1).m_active.isChanged()) << "and would have told its own computer to stop it";
    EXPECT_FALSE(kart(1).m_trackFinished.get());

    // Its own computer's word finishes it here.
    const uint8_t no = 0, yes = 1;
    kart(1).m_active.setData(&no, 1);
    kart(1).m_trackFinished.setData(&yes, 1);
    kart(1).m_active.commit();
    kart(1).m_trackFinished.commit();
    m_race.updateProgress();
    EXPECT_EQ(m_race.countFinished(), 1);
}

TEST_F(RaceProgress, ElapsedLapsOfAnEliminationRaceStayInTheLapTable) {
    startRace(Race::ELIMINATION, 1);
    standAt(0, 30, 100);
    at(11.0f);
    m_race.updateProgress();
    EXPECT_FLOAT_EQ(record(0).lapTimes[20], 10.0f);
}

TEST_F(RaceProgress, RanksFollowLapsThenProgressAndTiesKeepTheirOrder) {
    startRace(Race::SINGLE_RACE, 3);
    for (int i = 0; i < 5; ++i) m_setup->config().m_player[i].modify()->startRank = 4 - i;
    m_race.m_countdownState = Race::WAITING;
    m_race.updateRanks();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rider(i).m_rank.get(), 4 - i) << "rider " << i;

    m_race.m_countdownState = Race::RUNNING;
    standAt(0, 1, 10);
    standAt(1, 0, 200);
    standAt(2, 1, 10);
    standAt(3, -1, 255);
    standAt(4, 1, 100);
    m_race.updateRanks();
    // Riders 0 and 2 are level: rider 2 was ahead before.
    const int expected[5] = {2, 3, 1, 4, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rider(i).m_rank.get(), expected[i]) << "rider " << i;
}

TEST_F(RaceProgress, WrongWayAfterThreeValuesBackwards) {
    startRace(Race::SINGLE_RACE, 3);
    standAt(0, 0, 100);
    arrive(0, 90);
    arrive(0, 80);
    EXPECT_FALSE(m_race.m_wrongWay[0]);
    arrive(0, 70);
    EXPECT_TRUE(m_race.m_wrongWay[0]);
    // Told once; three more steps back before it is told again.
    m_race.updateProgress();
    EXPECT_FALSE(m_race.m_wrongWay[0]);
    arrive(0, 60);
    arrive(0, 50);
    EXPECT_FALSE(m_race.m_wrongWay[0]);
    arrive(0, 40);
    EXPECT_TRUE(m_race.m_wrongWay[0]);
}

TEST_F(RaceProgress, EliminationDropsTheLastRiderWheneverTheSecondToLastCompletesALap) {
    startRace(Race::ELIMINATION, 3);
    standAt(0, 2, 100);
    standAt(1, 0, 200);
    standAt(2, 0, 150);
    standAt(3, 0, 100);
    standAt(4, 0, 50);
    m_race.updateProgress();

    // By rank: the rider that completes its lap, and the one that goes out.
    const int laps[4][2] = {{3, 4}, {1, 2}, {3, 1}, {0, 3}};
    for (int round = 0; round < 4; ++round) {
        const int lapper = laps[round][0], out = laps[round][1];
        m_race.updateRanks();
        ASSERT_EQ(rider(lapper).m_rank.get(), 5 - round - 2) << "round " << round;
        m_race.m_displays->hideMessagePanels(0);
        at(10.0f + round);
        rider(lapper).m_sectorMask = 0xFFFF;
        touchLine(lapper);
        EXPECT_TRUE(rider(out).m_eliminated) << "round " << round;
        EXPECT_TRUE(rider(out).m_trackFinished.get());
        EXPECT_EQ(record(out).place, 4 - round);
        EXPECT_EQ(record(out).racePoints, Race::PLACE_POINTS[4 - round]);
        EXPECT_FALSE(m_race.m_displays->m_views[0].dots[out].visible);
        EXPECT_EQ(m_race.m_displays->m_views[0].nickname, CEGUI::String("Rider " + std::to_string(out)));
        EXPECT_EQ(m_race.m_eliminationTime, 10.0f + round);
        Position3 here;
        EXPECT_EQ(rider(out).getPosition(here).x, -1000.0f);
        EXPECT_EQ(rider(out).m_netPos.get().z, -1000.0f);
        EXPECT_EQ(countActive(), 4 - round);
    }

    // The winner stops only after the message about the last one out has gone.
    m_race.updateProgress();
    EXPECT_TRUE(rider(0).m_active.get());
    m_race.m_displays->hideMessagePanels(0);
    m_race.updateProgress();
    EXPECT_TRUE(rider(0).m_trackFinished.get());
    EXPECT_EQ(record(0).place, 0);
    EXPECT_EQ(record(0).racePoints, 10);
    EXPECT_EQ(m_race.m_cameraMode[0], Race::FINISHED);
    EXPECT_FALSE(m_race.m_displays->isMessagePanelVisible(0));
    m_race.updateProgress();
    EXPECT_TRUE(m_race.m_raceOver);
}

TEST_F(RaceProgress, UnfinishedRidersMeasuredFromRiderZeroWhenNobodyFinishedEvenWithoutLaps) {
    startRace(Race::SINGLE_RACE, 0);
    standAt(0, 0, 255);
    standAt(1, 0, 155);
    standAt(2, -1, 205);
    standAt(3, 0, 235);
    standAt(4, INT_MIN, 255); // a broken lap from the network
    for (int i = 0; i < 5; ++i) rider(i).m_trackTime = 51.0f;

    m_race.finishRemaining();
    // 51 s for one lap of 255 values: 0.2 s a value.
    const float times[5] = {51.0f, 71.0f, 112.0f, 55.0f, 102.0f};
    const int places[5] = {0, 2, 4, 1, 3};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(rider(i).m_trackFinished.get());
        EXPECT_NEAR(rider(i).m_trackTime.get(), times[i], 1e-3f) << "rider " << i;
        EXPECT_EQ(record(i).place, places[i]) << "rider " << i;
    }
    EXPECT_EQ(rider(4).m_lap.get(), 0);
}

TEST_F(RaceProgress, ChampionshipPointsAndTimesAddUpOverTwoRaces) {
    // First race: all five over the line, the player last.
    startRace(Race::CHAMPIONSHIP, 1);
    for (int i = 0; i < 5; ++i) standAt(i, 0, 255);
    const int order[5] = {3, 1, 4, 2, 0};
    for (int k = 0; k < 5; ++k) {
        at(30.0f + k);
        touchLine(order[k]);
    }
    float firstTime[5];
    int firstPoints[5];
    for (int k = 0; k < 5; ++k) {
        const int i = order[k];
        EXPECT_EQ(record(i).place, k);
        firstTime[i] = 29.0f + k;
        firstPoints[i] = Race::PLACE_POINTS[k];
    }

    // Second race on the same records: riders start where they finished.
    startRace(Race::CHAMPIONSHIP, 1);
    m_race.m_countdownState = Race::WAITING;
    m_race.updateRanks();
    for (int k = 0; k < 5; ++k) EXPECT_EQ(rider(order[k]).m_rank.get(), k);
    m_race.m_countdownState = Race::RUNNING;
    for (int i = 0; i < 5; ++i) standAt(i, 0, 255 - 10 * i);
    at(21.0f);
    touchLine(0);
    m_race.finishRemaining();
    // The player won in 20 s; the others are 20 s plus what they lacked of the lap.
    for (int i = 0; i < 5; ++i) {
        const float second = 20.0f + 10 * i * 20.0f / 255;
        EXPECT_EQ(record(i).place, i);
        EXPECT_EQ(record(i).points, firstPoints[i] + Race::PLACE_POINTS[i]) << "rider " << i;
        EXPECT_NEAR(record(i).totalTime, GuiHelper::addShownTime(firstTime[i], second), 1e-4f) << "rider " << i;
    }
}

namespace {

// "mm:ss:hh" back to hundredths.
long hundredthsOf(const CEGUI::String& shown) {
    int minutes = 0, seconds = 0, hundredths = 0;
    EXPECT_EQ(std::sscanf(shown.c_str(), "%d:%d:%d", &minutes, &seconds, &hundredths), 3) << shown;
    return (minutes * 60L + seconds) * 100L + hundredths;
}

} // namespace

TEST_F(RaceProgress, StandingsTotalsAreTheSumsOfTheRaceTimesTheResultsShowed) {
    // Rider 0's are a player's two races, whose total read 6:29.62 against 3:49.60 and 2:40.01.
    const float times[2][5] = {{229.6049f, 100.005f, 61.2349f, 45.994f, 300.0f},
                               {160.0199f, 50.005f, 61.2349f, 45.996f, 12.345f}};
    long shownSum[5] = {};
    for (const auto& race : times) {
        startRace(Race::CHAMPIONSHIP, 1);
        for (int i = 0; i < 5; ++i) {
            rider(i).m_trackTime = race[i];
            rider(i).m_trackFinished = true;
            m_race.recordFinish(i);
        }
        m_race.m_displays->showChampionshipResult();
        for (int i = 0; i < 5; ++i) {
            const OnscreenDisplays::ResultRow& row = m_race.m_displays->m_table.rows[record(i).place + 1];
            EXPECT_EQ(row.cells[1].c_str(), std::string(record(i).name));
            shownSum[i] += hundredthsOf(row.cells[2]);
        }
    }
    m_race.m_displays->showStandings();
    for (int k = 1; k <= 5; ++k) {
        const OnscreenDisplays::ResultRow& row = m_race.m_displays->m_table.rows[k];
        int i = 0;
        while (i < 4 && row.cells[1] != record(i).name) ++i;
        EXPECT_EQ(hundredthsOf(row.cells[2]), shownSum[i]) << record(i).name;
    }
    EXPECT_EQ(shownSum[0], 38962);
}

TEST_F(RaceProgress, ComputerRidersArePushedBehindAndHeldAheadOfTheLeadingPlayer) {
    startRace(Race::SINGLE_RACE, 3);
    standAt(0, 1, 100);     // the player
    standAt(1, 1, 80);      // 20 behind
    standAt(2, 1, 120);     // 20 ahead
    standAt(3, 1, 102);     // level
    standAt(4, 1, 80);      // behind, but boosting
    m_race.updateRanks();
    for (int i = 1; i < 5; ++i) rider(i).m_curSpeed = 0.1f;
    rider(4).m_boost = 2.0f;
    rider(4).m_maxSpeed = 0.435f;
    rider(1).m_raySurface[VehicleMaster::BODY_RAY] = 25;
    rider(2).m_raySurface[VehicleMaster::BODY_RAY] = 26;
    rider(3).m_maxSpeed = 0.2f;

    m_race.adjustComputerSpeeds();
    const VehicleSettings& settings = *rider(1).m_settings;
    EXPECT_FLOAT_EQ(rider(1).m_maxSpeed, 0.7f * settings.m_boostedMaxSpeed);
    EXPECT_FLOAT_EQ(rider(1).m_slideFactor, 3.0f * settings.m_handling5);
    EXPECT_FLOAT_EQ(rider(2).m_maxSpeed, 0.7f * 0.7f * settings.m_maxSpeed);
    EXPECT_FLOAT_EQ(rider(3).m_maxSpeed, settings.m_maxSpeed);
    EXPECT_FLOAT_EQ(rider(4).m_maxSpeed, 0.435f);

    // Not over a LAN, where every machine would judge its own.
    rider(3).m_maxSpeed = 0.2f;
    m_setup->config().m_playMode = Race::LAN;
    m_race.adjustComputerSpeeds();
    EXPECT_FLOAT_EQ(rider(3).m_maxSpeed, 0.2f);
}

} // namespace
