// The kart simulator on the fixture track: the kart's figures end to end.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/game/karts/KartTestSupport.h"
#include "tools/kart-sim/KartSim.h"

namespace {

KartSim::Options fixtureOptions(int steps, bool computer) {
    KartSim::Options options;
    options.track = KartFixture::TRACK_SCENE;
    options.mopedScene = KartFixture::MOPED_SCENE;
    options.mopedObject = KartFixture::MOPED_OBJECT;
    options.settings = KartFixture::SETTINGS_FILE;
    options.steps = steps;
    options.computerDriver = computer;
    options.seedReset = true;
    return options;
}

} // namespace

TEST(KartSim, ScriptedKartReachesTopSpeedInAbout789StepsAndNeverPassesIt) {
    KartFixtureArchive archive;
    ASSERT_TRUE(archive.ok());
    KartSim sim(archive.files(), fixtureOptions(1000, false));
    std::string error;
    ASSERT_TRUE(sim.load(error)) << error;
    std::ostringstream out;
    const KartSim::Summary summary = sim.run(out);
    EXPECT_NEAR(summary.stepsToTopSpeed, 789, 3) << out.str();
    EXPECT_FLOAT_EQ(summary.topSpeed, 0.29f);
    EXPECT_EQ(summary.respawns, 0);
    EXPECT_FALSE(summary.sawNaN);
}

TEST(KartSim, ComputerDriverLapsTheFixtureWithoutARespawn) {
    KartFixtureArchive archive;
    ASSERT_TRUE(archive.ok());
    KartSim sim(archive.files(), fixtureOptions(6000, true));
    std::string error;
    ASSERT_TRUE(sim.load(error)) << error;
    std::ostringstream out;
    const KartSim::Summary summary = sim.run(out);
    EXPECT_GE(summary.pathWraps.size(), 1u) << out.str();
    EXPECT_EQ(summary.respawns, 0);
    EXPECT_FALSE(summary.sawNaN);
}
