#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/input/InputDevice.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/drivers/ControllerAI.h"
#include "game/karts/VehicleMaster.h"
#include "game/race/Race.h"
#include "tests/support/DemoArchive.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"
#include "tools/race-run/RaceRun.h"

namespace {

RaceRunOptions optionsOf(const std::string& line) {
    std::vector<std::string> arguments{"data.sar"};
    std::istringstream words(line);
    for (std::string word; words >> word;) arguments.push_back(word);
    RaceRunOptions options;
    std::string error;
    EXPECT_TRUE(RaceRunOptions::parse(arguments, options, error)) << line << ": " << error;
    return options;
}

int runRaceRun(const std::string& arguments, std::string& output) {
    return runTool(std::string(RACE_RUN_PATH) + " " + arguments, output);
}

} // namespace

TEST(RaceRunOptions, RefusesWhatNoRaceCouldBe) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"a.sar", "b.sar"},
        {"a.sar", "--track", "6"},
        {"a.sar", "--track", "-1"},
        {"a.sar", "--track", "1x"},
        {"a.sar", "--game", "4"},
        {"a.sar", "--laps", "0"},
        {"a.sar", "--laps", "6"},
        {"a.sar", "--frames", "0"},
        {"a.sar", "--frames", "10", "--until-finished"},
        {"a.sar", "--dt", "0"},
        {"a.sar", "--dt", "0.25"},
        {"a.sar", "--dt", "nan"},
        {"a.sar", "--dt", "1e-7"},
        {"a.sar", "--render", "640"},
        {"a.sar", "--render", "0x480"},
        {"a.sar", "--riders", ""},
        {"a.sar", "--riders", "cccccc"},
        {"a.sar", "--riders", "cxc"},
        {"a.sar", "--riders", "pcpcc"},
        {"a.sar", "--riders", "p1ccc"},
        {"a.sar", "--riders", "1cccc"},
        {"a.sar", "--riders", "c12cc"},
        {"a.sar", "--laps"},
        {"a.sar", "--shots", "pictures"},
        {"a.sar", "--render", "640x480", "--shots", ""},
        {"a.sar", "--speed", "2"},
        {"a.sar", "--no-draw", "--render", "640x480"},
        {"a.sar", "--unpaced"},
        {"a.sar", "--game", "3", "--places", "0123"},
        {"a.sar", "--game", "3", "--places", "01233"},
        {"a.sar", "--game", "3", "--places", "0123x"},
        {"a.sar", "--places", "01234"},
    };
    for (const auto& arguments : bad) {
        RaceRunOptions options;
        std::string error;
        std::string line;
        for (const auto& a : arguments) line += a + " ";
        EXPECT_FALSE(RaceRunOptions::parse(arguments, options, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
    RaceRunOptions fine = optionsOf("--track 5 --game 0 --riders 21c --laps 3 --frames 7 --dt 0.2 --render 640x480");
    EXPECT_EQ(fine.track, 5);
    EXPECT_EQ(fine.game, 0);
    EXPECT_EQ(fine.laps, 3);
    EXPECT_EQ(fine.frames, 7);
    EXPECT_TRUE(fine.splitScreen());
    EXPECT_TRUE(fine.windowed());
    EXPECT_FALSE(fine.shooting());
    EXPECT_EQ(optionsOf("--render 640x480 --shots pictures").shots, "pictures");
    EXPECT_FALSE(optionsOf("--render 640x480 --unpaced").paced);
    EXPECT_FALSE(optionsOf("--no-draw").drawn);
    EXPECT_EQ(optionsOf("--game 3 --places 30412").places, "30412");
    RaceRunOptions plain = optionsOf("");
    EXPECT_EQ(plain.riders, "ccccc");
    EXPECT_TRUE(plain.untilFinished());
    EXPECT_FALSE(plain.windowed());
    EXPECT_FALSE(plain.splitScreen());
}

TEST(RaceRunKeyScript, PressesEachKeyOnItsFrameAndNamesTheBadLine) {
    KeyScript script;
    std::string error;
    ASSERT_TRUE(script.parse("# throttle, then a turn\n30 0x11 down\n10 57 down\n\n30 0x1e down  # left\n40 0x1E up\n",
                             error))
        << error;
    InputDevice input;
    script.apply(9, input);
    EXPECT_EQ(input.m_keys[57], 0);
    script.apply(10, input);
    EXPECT_EQ(input.m_keys[57], 0x80);
    script.apply(30, input);
    EXPECT_EQ(input.m_keys[0x11], 0x80);
    EXPECT_EQ(input.m_keys[0x1E], 0x80);
    script.apply(40, input);
    EXPECT_EQ(input.m_keys[0x1E], 0);
    EXPECT_EQ(input.m_keys[0x11], 0x80);

    for (const char* bad : {"1 0x11 down\n2 0x11 pressed\n", "1 0x11 down\n0 17 up\n", "1 256 down\n",
                            "1 17 down extra\n", "1 17\n"}) {
        EXPECT_FALSE(script.parse(bad, error)) << bad;
    }
    EXPECT_FALSE(script.parse("1 17 down\n\n3 17 sideways\n", error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
}

TEST(RaceRunTool, ExitsWithTwoOnBadArgumentsAndOneOnAMissingArchive) {
    std::string output;
    EXPECT_EQ(runRaceRun("data.sar --track 9", output), 2);
    EXPECT_NE(output.find("usage: race-run ARCHIVE"), std::string::npos) << output;
    TempDir dir;
    output.clear();
    EXPECT_EQ(runRaceRun(dir.file("missing.sar") + " --frames 2", output), 1);
    EXPECT_NE(output.find("cannot open the archive"), std::string::npos) << output;
    output.clear();
    EXPECT_EQ(runRaceRun(DEMO_ARCHIVE_PATH " --frames 2 --keys " + dir.file("missing.keys"), output), 2);
    EXPECT_NE(output.find("cannot read the keys file"), std::string::npos) << output;
}

TEST(RaceRunTool, ADrawnRaceWhoseGuiCannotStartFailsWithOneLine) {
    // SDL's offscreen driver makes the scene's context, which the GUI library's GLEW cannot start on.
    std::string output;
    EXPECT_EQ(runTool("env -u DISPLAY SDL_VIDEODRIVER=offscreen " RACE_RUN_PATH " " DEMO_ARCHIVE_PATH
                      " --frames 2 --render 320x240",
                      output),
              1);
    EXPECT_EQ(output.rfind("race-run: the GUI cannot start: the GUI renderer could not start on the device: ", 0), 0u)
        << output;
    EXPECT_NE(output.find("GLEW"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}

// Particles draw from the game's dice while they are drawn, so a race that
// draws nothing rides its own course; each must still repeat itself exactly.
TEST(WholeRace, TwoRunsOfTheSameRaceEndAlikeDrawnOrNot) {
    for (const char* drawing : {"", " --no-draw"}) {
        SCOPED_TRACE(drawing);
        std::string error;
        std::ostringstream first, second;
        const RaceRunOptions options = optionsOf(std::string("--track 2 --frames 400 --dt 0.05") + drawing);
        RaceRun a(demoArchive(), options);
        ASSERT_TRUE(a.run(first, error)) << error;
        RaceRun b(demoArchive(), options);
        ASSERT_TRUE(b.run(second, error)) << error;
        EXPECT_EQ(a.summary().hash, b.summary().hash);
        EXPECT_EQ(first.str(), second.str());
        EXPECT_EQ(a.summary().steps, b.summary().steps);
        // The clock starts with the first frame's Space and the physics follows
        // it a frame behind: 398 frames of 0.05 s, every step of them taken.
        EXPECT_NEAR(a.summary().simulatedSeconds, 398 * 0.05, 0.011);
        EXPECT_NEAR(double(a.summary().steps), a.summary().simulatedSeconds / Race::STEP, 1.0);
        for (int i = 0; i < 5; ++i) EXPECT_GT(a.race().getVehicle(i)->getSpeed(), 0.1f) << i;
        const RaceRun::Summary& s = a.summary();
        EXPECT_GT(s.medianFrameMilliseconds, 0.0);
        EXPECT_LE(s.medianFrameMilliseconds, s.worstFrameMilliseconds);
    }
}

class WholeRaceOnTrack : public ::testing::TestWithParam<int> {};

TEST_P(WholeRaceOnTrack, FiveComputerRidersAllFinishInPlaceOrder) {
    RaceRunOptions options = optionsOf("--until-finished --laps 1 --dt 0.05 --track " + std::to_string(GetParam()));
    RaceRun run(demoArchive(), options);
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(run.run(out, error)) << error << "\n" << out.str();
    const RaceRun::Summary& s = run.summary();
    EXPECT_TRUE(s.finished);
    EXPECT_NEAR(double(s.steps), s.simulatedSeconds / Race::STEP, 1.0);
    ASSERT_EQ(s.riders.size(), 5u);
    std::vector<int32_t> places;
    std::vector<std::pair<int32_t, float>> byPlace;
    for (const RaceRun::Rider& r : s.riders) {
        EXPECT_TRUE(r.finished) << r.name;
        EXPECT_GT(r.raceTime, 10.0f) << r.name;
        EXPECT_GT(r.bestLap, 0.0f) << r.name;
        EXPECT_LE(r.bestLap, r.raceTime) << r.name;
        places.push_back(r.place);
        byPlace.push_back({r.place, r.raceTime});
    }
    std::sort(places.begin(), places.end());
    EXPECT_EQ(places, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    std::sort(byPlace.begin(), byPlace.end());
    for (size_t i = 1; i < byPlace.size(); ++i) EXPECT_LE(byPlace[i - 1].second, byPlace[i].second);
}

INSTANTIATE_TEST_SUITE_P(DemoTracks, WholeRaceOnTrack, ::testing::Range(0, 6));

TEST(WholeRace, SplitScreenPlayersSitWhileTheComputerRidersRace) {
    RaceRun run(demoArchive(), optionsOf("--riders 12ccc --frames 200 --dt 0.05"));
    std::string error;
    ASSERT_TRUE(run.setUp(error)) << error;
    Race& race = run.race();
    ASSERT_EQ(race.m_viewCount, 2);
    // Through the countdown each panel shows its player's place on the grid, both behind the computer riders.
    int counted = 0;
    for (int frame = 0; frame < 200; ++frame) {
        ASSERT_TRUE(run.frame());
        if (race.m_countdownState == Race::WAITING || race.m_countdownState == Race::RUNNING) continue;
        ++counted;
        for (int v = 0; v < 2; ++v) {
            const OnscreenDisplays::View& panel = race.m_displays->m_views[v];
            EXPECT_EQ(panel.position, 5 - v) << "view " << v << ", frame " << frame;
            EXPECT_EQ(panel.positionCount, 5) << "view " << v << ", frame " << frame;
        }
    }
    EXPECT_GT(counted, 3 / 0.05 - 2) << "the countdown's frames";
    EXPECT_EQ(race.m_viewRider[0], 0);
    EXPECT_EQ(race.m_viewRider[1], 1);
    ASSERT_EQ(race.m_vehicleCount, 5);
    EXPECT_EQ(race.playerKind(0), Race::USER1);
    EXPECT_EQ(race.playerKind(1), Race::USER2);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(race.getVehicle(i)->getSpeed(), 0.0f) << i;
    for (int i = 2; i < 5; ++i) EXPECT_GT(race.getVehicle(i)->getSpeed(), 0.1f) << i;
}

TEST(WholeRace, TimeTrialRiderDrivesByTheKeyScript) {
    KeyScript keys;
    std::string error;
    // The first player's throttle (W) held from the start signal on.
    ASSERT_TRUE(keys.parse("60 0x11 down\n", error));
    RaceRun run(demoArchive(), optionsOf("--game 0 --riders p --frames 200 --dt 0.05"), keys);
    std::ostringstream out;
    ASSERT_TRUE(run.run(out, error)) << error;
    Race& race = run.race();
    ASSERT_EQ(race.m_vehicleCount, 1);
    EXPECT_EQ(run.summary().riders.size(), 1u);
    EXPECT_GT(race.getVehicle(0)->getSpeed(), 0.1f);
    EXPECT_EQ(race.m_vehicles[1], nullptr);
}

// The player sets off on the first computer path so late that the computer
// riders have finished when it comes to the line for its last lap: they must
// not stand there in its way.
TEST(WholeRace, ALatePlayerIsNotHeldAtTheLineByTheFinishedComputerRiders) {
    RaceRun run(demoArchive(), optionsOf("--riders pcccc --laps 2 --dt 0.05 --no-draw --track 1"));
    std::string error;
    ASSERT_TRUE(run.setUp(error)) << error;
    Race& race = run.race();
    VehicleMaster& player = *race.getVehicle(0)->asMaster();
    const auto& paths = dynamic_cast<const ControllerAI&>(*race.getVehicle(1)->m_controller);
    int finishedBefore = 0;
    double lastLap = -1.0, pastLine = -1.0;
    while (!player.m_trackFinished.get() && race.m_simulatedTime < 300.0) {
        ASSERT_TRUE(run.frame());
        const double now = race.m_simulatedTime;
        if (now >= 80.0 && !player.m_controller->isComputer())
            player.m_controller = std::make_unique<ControllerAI>(&player, 0, paths);
        if (lastLap < 0.0 && player.m_lap.get() == 1) {
            lastLap = now;
            for (int i = 1; i < 5; ++i) finishedBefore += race.getVehicle(i)->m_trackFinished.get() ? 1 : 0;
        }
        // Two of the lap's sixteen sectors.
        if (lastLap >= 0.0 && pastLine < 0.0 && player.m_positionHistory[0] >= 2 * 16) pastLine = now;
    }
    ASSERT_GE(lastLap, 0.0) << "the player never came round";
    EXPECT_GE(finishedBefore, 3) << "the computer riders had not finished";
    // Two sectors take the player some 5 s on an open road.
    ASSERT_GE(pastLine, lastLap) << "the player never got past the line";
    EXPECT_LT(pastLine - lastLap, 8.0) << "from " << lastLap;
    EXPECT_TRUE(player.m_trackFinished.get());
}
