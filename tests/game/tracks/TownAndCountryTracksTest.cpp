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

#include "engine/platform/DataArchive.h"
#include "engine/platform/DiskFile.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/ODEGeomObject.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/demodata/tracks/RacingLines.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/kart-sim/KartSim.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

constexpr int SIEDLUNG = 5;
constexpr int UEBERLAND = 6;
constexpr float RESPAWN_DEPTH = -20.0f;

const DemoTrack& track(int number) { return demoTracks()[number - 1]; }

// A track's files, built once for all tests.
const std::vector<TrackFile>& trackFiles(int number) {
    static std::map<int, std::vector<TrackFile>> built;
    auto known = built.find(number);
    if (known == built.end()) known = built.emplace(number, track(number).build()).first;
    return known->second;
}

// A track and the kart rig's moped, packed and opened as the game does;
// `replaced` gives other bytes for some of the track's files.
class TrackArchive {
public:
    explicit TrackArchive(int number, const std::map<std::string, std::string>& replaced = {}) {
        ArchiveWriter writer;
        for (const TrackFile& f : trackFiles(number)) {
            auto other = replaced.find(f.archiveName);
            if (!writer.add(f.archiveName, other == replaced.end() ? f.bytes : other->second, 0)) return;
        }
        for (const char* name : {KartFixture::MOPED_SCENE, KartFixture::MOPED_OBJECT, KartFixture::RIDER_OBJECT,
                                 KartFixture::SHADOW_OBJECT, KartFixture::SETTINGS_FILE})
            for (const KartFixture::Asset& a : KartFixture::files())
                if (a.archiveName == name && !writer.add(a.archiveName, a.bytes, 0)) return;
        std::string error;
        if (!writer.write(m_dir.file("data.sar"), error)) return;
        m_archive = std::make_unique<DataArchive>(m_disk);
        m_ok = m_archive->openArchive(m_dir.file("data.sar").c_str());
    }
    bool ok() const { return m_ok; }
    File& files() { return *m_archive; }

private:
    TempDir m_dir;
    DiskFile m_disk{""};
    std::unique_ptr<DataArchive> m_archive;
    bool m_ok = false;
};

struct Drive {
    KartSim::Summary summary;
    std::string log;
};

// A computer kart from the first start along one of the track's paths.
Drive drive(TrackArchive& archive, int number, int path, int steps) {
    KartSim::Options options;
    options.track = track(number).sceneFile;
    options.mopedScene = KartFixture::MOPED_SCENE;
    options.mopedObject = KartFixture::MOPED_OBJECT;
    options.settings = KartFixture::SETTINGS_FILE;
    options.computerDriver = true;
    options.path = path;
    options.seedReset = true;
    options.steps = steps;
    KartSim sim(archive.files(), options);
    Drive out;
    std::string error;
    if (!sim.load(error)) {
        out.log = error;
        return out;
    }
    std::ostringstream log;
    out.summary = sim.run(log);
    out.log = log.str();
    return out;
}

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

TEST_P(TownAndCountryTrack, ComputerKartLapsOnEveryPathWithoutARespawn) {
    TrackArchive archive(GetParam());
    ASSERT_TRUE(archive.ok());
    for (int path = 0; path < RacingLines::PATH_COUNT; ++path) {
        // Onto the line from the start, then two whole laps of 35 to 60 s.
        const Drive run = drive(archive, GetParam(), path, 12000);
        const std::vector<double>& line = run.summary.lineCrossings;
        ASSERT_GE(line.size(), 3u) << "path " << path << "\n" << run.log;
        for (size_t lap = 1; lap < 3; ++lap) {
            EXPECT_GT(line[lap] - line[lap - 1], 35.0) << "path " << path;
            EXPECT_LT(line[lap] - line[lap - 1], 60.0) << "path " << path;
        }
        EXPECT_EQ(run.summary.respawns, 0) << "path " << path << "\n" << run.log;
        EXPECT_FALSE(run.summary.sawNaN);
    }
}

TEST_P(TownAndCountryTrack, SceneLoadsWithItsHazardsWhereTheRaceCollidesThem) {
    TrackArchive archive(GetParam());
    ASSERT_TRUE(archive.ok());
    MetaScene pool;
    LW6Scene* scene = pool.loadScene(track(GetParam()).sceneFile.c_str(), archive.files());
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
    const Centreline line(track(SIEDLUNG).centreline());
    // The gate opens off the west street at z 100 to 112; the pond lies at (-228, 106).
    const float gate = line.nearest(-195.0f, 118.0f).s;
    const std::string path =
        detour(line, gate, {{-206.0f, 0.1f, 106.0f}, {-216.0f, 0.0f, 106.0f}, {-228.0f, 0.0f, 106.0f},
                            {-240.0f, 0.0f, 106.0f}});
    TrackArchive archive(SIEDLUNG, {{RacingLines::pathFile(SIEDLUNG, 0), path}});
    ASSERT_TRUE(archive.ok());
    const Drive run = drive(archive, SIEDLUNG, 0, 7000);
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
    const Centreline line(track(UEBERLAND).centreline());
    // The pit lies north of the straight at z = -106.5, between x -72 and -132.
    const float edge = line.nearest(-90.0f, -106.5f).s;
    const std::string path =
        detour(line, edge, {{-100.0f, 2.0f, -98.0f}, {-108.0f, 2.0f, -85.0f}, {-112.0f, 2.0f, -70.0f}});
    TrackArchive archive(UEBERLAND, {{RacingLines::pathFile(UEBERLAND, 0), path}});
    ASSERT_TRUE(archive.ok());
    const Drive run = drive(archive, UEBERLAND, 0, 6500);
    const std::vector<Sample> log = samples(run.log);
    auto sentBack = std::find_if(log.begin(), log.end(), [](const Sample& s) { return s.respawns > 0; });
    ASSERT_NE(sentBack, log.end()) << run.log;
    ASSERT_NE(sentBack, log.begin());
    // A second before, it was falling into the pit: far below the road, north of its edge.
    const Sample& before = *(sentBack - 1);
    EXPECT_LT(before.at.y, -3.0f) << run.log;
    EXPECT_GT(before.at.z, -102.0f) << run.log;
}
