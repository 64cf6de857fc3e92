// Tracks 05 (the housing estate) and 06 (the country road): each loads
// headless with its hazards where the race collides them, a computer kart
// laps it on every path without a respawn, and the hazards send back a kart
// that is steered into them: the estate's garden pond, the country road's gravel pit.
#include <gtest/gtest.h>

#include <ode/collision.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <sstream>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/demodata/tracks/RacingLines.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/kart-sim/KartSim.h"

#include "tests/game/tracks/DemoTrackTestSupport.h"

namespace {

constexpr int SIEDLUNG = 5;
constexpr int UEBERLAND = 6;
constexpr float RESPAWN_DEPTH = -20.0f;

// The log's once-a-second lines: when, where, and how many respawns so far.
struct Sample {
    float time = 0.0f;
    Vec3 at;
    int respawns = 0;
};

std::vector<Sample> samples(const std::string& log) {
    std::vector<Sample> out;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        Sample s;
        float speed = 0.0f;
        if (std::sscanf(line.c_str(), " %f s pos %f %f %f speed %f respawns %d", &s.time, &s.at.x, &s.at.y, &s.at.z,
                        &speed, &s.respawns) == 6)
            out.push_back(s);
    }
    return out;
}

// Path 0 of the lap up to `s`, then off the road to the points given: a kart sent somewhere it should not go.
std::string detour(const Centreline& line, float s, const std::vector<Vec3>& off) {
    std::vector<RacingLines::PathPoint> points;
    for (const RacingLines::PathPoint& p : RacingLines::path(line, 0))
        if (line.nearest(p.position.x, p.position.z).s < s) points.push_back(p);
    for (const Vec3& p : off) points.push_back({p, RacingLines::TOP_SPEED});
    return RacingLines::recordBytes(points);
}

class TownAndCountryTrack : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(TownAndCountryTrack, SceneLoadsWithItsHazardsWhereTheRaceCollidesThem) {
    DemoTrackArchive archive(GetParam());
    ASSERT_TRUE(archive.ok());
    MetaScene pool;
    LW6Scene* scene = SceneLoader::loadScene(pool, demoTrack(GetParam()).sceneFile.c_str(), archive.files());
    ASSERT_NE(scene, nullptr);
    pool.start(nullptr);
    std::map<int, int> kinds;
    float lowestFallTop = 0.0f;
    for (int i = 0; i < scene->getObjectCount(); ++i) {
        auto* geom = dynamic_cast<ODEGeomObject*>(scene->getObjectAt(i));
        if (!geom || !geom->m_geom) continue;
        const int kind = geom->m_surfaceKind, space = geom->m_spaceIndex;
        ++kinds[kind];
        if (kind == TrackBuilder::GROUND || kind == TrackBuilder::GROUND_ROUGH) {
            EXPECT_EQ(space, TrackBuilder::SPACE_GROUND);
        }
        if (kind == TrackBuilder::RESET || (kind >= TrackBuilder::PICKUP && kind <= TrackBuilder::TRIGGER)) {
            EXPECT_EQ(space, TrackBuilder::SPACE_ZONES) << geom->getName();
        }
        if (kind == TrackBuilder::FALL) {
            EXPECT_EQ(space, TrackBuilder::SPACE_FALL);
            dVector3 size;
            dGeomBoxGetLengths(geom->m_geom, size);
            const float top = static_cast<float>(dGeomGetPosition(geom->m_geom)[1] + size[1] * 0.5);
            lowestFallTop = std::min(lowestFallTop, top);
        }
    }
    EXPECT_GE(kinds[TrackBuilder::PICKUP], 12);
    EXPECT_GE(kinds[TrackBuilder::SPEEDUP], 3);
    EXPECT_EQ(kinds[TrackBuilder::FINISH], 1);
    if (GetParam() == SIEDLUNG) {
        EXPECT_EQ(kinds[TrackBuilder::RESET], 1);
        EXPECT_EQ(kinds[TrackBuilder::TRIGGER], 1);
        EXPECT_GE(kinds[TrackBuilder::OBSTACLE], 4);
    } else {
        EXPECT_EQ(kinds[TrackBuilder::FALL], 1);
        // A falling kart passes the respawn depth before its rays reach the zone.
        EXPECT_LT(lowestFallTop, RESPAWN_DEPTH - 5.0f);
        EXPECT_GE(kinds[TrackBuilder::WIND], 4);
        EXPECT_EQ(kinds[TrackBuilder::STAMPER], 1);
        EXPECT_EQ(kinds[TrackBuilder::GROUND_ROUGH], 1);
    }
}

INSTANTIATE_TEST_SUITE_P(EstateAndCountryRoad, TownAndCountryTrack, ::testing::Values(SIEDLUNG, UEBERLAND));

TEST(SiedlungTrack, KartSteeredThroughTheGardenGateIntoThePondIsSentBack) {
    const Centreline line(demoTrack(SIEDLUNG).centreline());
    // The gate opens off the west street at z 100 to 112; the pond lies at (-228, 106).
    const float gate = line.nearest(-195.0f, 118.0f).s;
    const std::string path =
        detour(line, gate, {{-206.0f, 0.1f, 106.0f}, {-216.0f, 0.0f, 106.0f}, {-228.0f, 0.0f, 106.0f},
                            {-240.0f, 0.0f, 106.0f}});
    DemoTrackArchive archive(SIEDLUNG, {{RacingLines::pathFile(SIEDLUNG, 0), path}});
    ASSERT_TRUE(archive.ok());
    const TrackDrive run = driveDemoTrack(archive, SIEDLUNG, 0, 7000);
    const std::vector<Sample> log = samples(run.log);
    auto inGarden = [](const Sample& s) { return s.at.x < -205.0f && s.at.z > 86.0f && s.at.z < 126.0f; };
    auto entered = std::find_if(log.begin(), log.end(), inGarden);
    auto sentBack = std::find_if(log.begin(), log.end(), [](const Sample& s) { return s.respawns > 0; });
    ASSERT_NE(entered, log.end()) << run.log;
    ASSERT_NE(sentBack, log.end()) << run.log;
    // At once by the pond, not ten seconds later for being stuck in the garden.
    EXPECT_GT(sentBack->time, entered->time) << run.log;
    EXPECT_LE(sentBack->time - entered->time, 4.0f) << run.log;
}

TEST(UeberlandTrack, KartSteeredOffThePitEdgeFallsAndRespawns) {
    const Centreline line(demoTrack(UEBERLAND).centreline());
    // The pit lies north of the straight at z = -106.5, between x -72 and -132.
    const float edge = line.nearest(-90.0f, -106.5f).s;
    const std::string path =
        detour(line, edge, {{-100.0f, 2.0f, -98.0f}, {-108.0f, 2.0f, -85.0f}, {-112.0f, 2.0f, -70.0f}});
    DemoTrackArchive archive(UEBERLAND, {{RacingLines::pathFile(UEBERLAND, 0), path}});
    ASSERT_TRUE(archive.ok());
    const TrackDrive run = driveDemoTrack(archive, UEBERLAND, 0, 6500);
    const std::vector<Sample> log = samples(run.log);
    auto sentBack = std::find_if(log.begin(), log.end(), [](const Sample& s) { return s.respawns > 0; });
    ASSERT_NE(sentBack, log.end()) << run.log;
    ASSERT_NE(sentBack, log.begin());
    // A second before, it was falling into the pit: far below the road, north of its edge.
    const Sample& before = *(sentBack - 1);
    EXPECT_LT(before.at.y, -3.0f) << run.log;
    EXPECT_GT(before.at.z, -102.0f) << run.log;
}
