// The demo tracks against the race's data contract: the position map, the
// computer paths and respawn points, the scene, the illumination map; and
// every track driven by a computer kart on each of its paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/images/ImageLoaders.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/maps/IlluminationMap.h"
#include "tests/game/tracks/DemoTrackTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/demodata/tracks/BmpWriter.h"
#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/demodata/tracks/LightMap.h"
#include "tools/demodata/tracks/RacingLines.h"
#include "tools/demodata/tracks/Track01Parkhaus.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackMaps.h"
#include "sys/Pi.h"

namespace {

constexpr int PARKHAUS = 1;
constexpr float KART_RADIUS = 0.75f;

struct Record {
    float x, y, z, speed;
};

std::vector<Record> records(const std::string& bytes) {
    std::vector<Record> out(bytes.size() / sizeof(Record));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(Record));
    return out;
}

float planDistance(const Record& a, const Record& b) { return std::hypot(a.x - b.x, a.z - b.z); }

// The race's position lookup over the map's square.
uint8_t positionAt(const PcxImage& map, float x, float z) {
    int column = static_cast<int>((x + 250.0f) / 500.0f * 512.0f);
    int row = static_cast<int>(512.0f - (z + 250.0f) / 500.0f * 512.0f);
    column = std::min(std::max(column, 0), 511);
    row = std::min(std::max(row, 0), 511);
    return map.pixels[row * 512 + column];
}

class ParkhausTrack : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_archive = new DemoTrackArchive(PARKHAUS); }
    static void TearDownTestSuite() {
        delete s_archive;
        s_archive = nullptr;
    }
    static DemoTrackArchive* s_archive;
    const Centreline m_line{Parkhaus::centreline()};
};
DemoTrackArchive* ParkhausTrack::s_archive = nullptr;

} // namespace

TEST_F(ParkhausTrack, PositionMapRisesAlongEveryPathAndWrapsOnlyAtTheFinishLine) {
    ASSERT_TRUE(s_archive->ok());
    PcxImage map{};
    ASSERT_TRUE(loadPCX(TrackMaps::positionMapFile(PARKHAUS).c_str(), &s_archive->files(), &map));
    std::unique_ptr<uint8_t, decltype(&std::free)> owned(map.pixels, &std::free);
    const Centreline::Frame line = m_line.at(0.0f);
    for (int path = 0; path < RacingLines::PATH_COUNT; ++path) {
        const std::vector<Record> points = records(s_archive->bytes(RacingLines::pathFile(PARKHAUS, path)));
        ASSERT_GT(points.size(), 100u);
        int wraps = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            const Record& a = points[i];
            const Record& b = points[(i + 1) % points.size()];
            const int va = positionAt(map, a.x, a.z), vb = positionAt(map, b.x, b.z);
            ASSERT_NE(va, 0) << "path " << path << " point " << i << " lies off the map's road";
            if (vb >= va) {
                EXPECT_LE(vb / 16 - va / 16, 1) << "path " << path << " skips a sector at point " << i;
                continue;
            }
            // Falling only where sector 15 gives way to sector 0, across the finish line.
            ++wraps;
            EXPECT_EQ(va / 16, 15);
            EXPECT_EQ(vb / 16, 0);
            const float ahead = dot(Vec3{a.x, 0, a.z} - line.position, line.forward);
            const float behind = dot(Vec3{b.x, 0, b.z} - line.position, line.forward);
            EXPECT_LE(ahead, 0.5f);
            EXPECT_GE(behind, -0.5f);
        }
        EXPECT_EQ(wraps, 1) << "path " << path;
    }
}

TEST_F(ParkhausTrack, PathsAndRespawnPointsAreClosedLoopsOnTheRoad) {
    ASSERT_TRUE(s_archive->ok());
    auto onRoad = [&](const Record& p, float margin) {
        const Centreline::Nearest n = m_line.nearest(p.x, p.z);
        const Centreline::Frame f = m_line.at(n.s);
        return std::fabs(n.lateral) <= f.width * 0.5f - margin && std::fabs(p.y - f.across(n.lateral).y) < 0.1f;
    };
    for (int path = 0; path < RacingLines::PATH_COUNT; ++path) {
        const std::vector<Record> points = records(s_archive->bytes(RacingLines::pathFile(PARKHAUS, path)));
        ASSERT_GT(points.size(), 100u);
        for (size_t i = 0; i < points.size(); ++i) {
            const float gap = planDistance(points[i], points[(i + 1) % points.size()]);
            EXPECT_GT(gap, 3.0f) << "path " << path << " point " << i;
            EXPECT_LT(gap, 7.0f) << "path " << path << " point " << i;
            EXPECT_TRUE(onRoad(points[i], 2.0f)) << "path " << path << " point " << i;
            EXPECT_GT(points[i].speed, 0.0f);
        }
    }
    const std::vector<Record> respawns = records(s_archive->bytes(RacingLines::respawnFile(PARKHAUS)));
    ASSERT_GT(respawns.size(), 6u);
    for (size_t i = 0; i < respawns.size(); ++i) {
        EXPECT_GT(planDistance(respawns[i], respawns[(i + 1) % respawns.size()]), 2.0f * KART_RADIUS);
        EXPECT_TRUE(onRoad(respawns[i], 0.0f)) << "respawn point " << i;
    }
}

TEST_F(ParkhausTrack, SceneLoadsWithItsSpacesStartsCameraAndFeatureGeoms) {
    ASSERT_TRUE(s_archive->ok());
    MetaScene pool;
    LW6Scene* scene =
        SceneLoader::loadScene(pool, TrackBuilder::sceneFile(PARKHAUS, "parkhaus").c_str(), s_archive->files());
    ASSERT_NE(scene, nullptr);
    pool.start(nullptr);
    for (int space = 0; space <= 11; ++space) EXPECT_NE(scene->getSpace(space), nullptr) << space;
    EXPECT_EQ(scene->getSpace(12), nullptr);
    EXPECT_EQ(scene->m_cameras.size(), 1u);
    // Five starts behind the line, from the back of the grid to the pole, each heading along the lap.
    float previous = INFINITY;
    for (int k = 1; k <= 5; ++k) {
        SceneObject* start = scene->getObject("start", -1, k);
        ASSERT_NE(start, nullptr) << k;
        const Position3 p = start->evaluatePosition(0.0);
        const Centreline::Nearest n = m_line.nearest(p.x, p.z);
        const float behind = m_line.length() - n.s;
        EXPECT_LT(behind, previous) << k;
        previous = behind;
        float turn = start->m_channels[SceneItem::HEADING].evaluate(0.0) - m_line.at(n.s).heading();
        turn = std::remainder(turn, 2.0f * PI);
        EXPECT_LT(std::fabs(turn), 0.05f) << k;
    }
    EXPECT_EQ(scene->getObject("start", -1, 6), nullptr);
    // Every geom where the race collides it: ground meets the rays, walls
    // and zones meet both kinds of kart, obstacles the ground.
    int kinds[32] = {};
    for (int i = 0; i < scene->getObjectCount(); ++i) {
        auto* geom = dynamic_cast<ODEGeomObject*>(scene->getObjectAt(i));
        if (!geom) continue;
        const int kind = geom->m_surfaceKind, space = geom->m_spaceIndex;
        ++kinds[kind];
        EXPECT_NE(geom->m_geom, nullptr) << geom->getName();
        if (kind == TrackBuilder::GROUND) {
            EXPECT_EQ(space, TrackBuilder::SPACE_GROUND);
        } else if (kind == TrackBuilder::WALL) {
            EXPECT_TRUE(space == TrackBuilder::SPACE_WALLS || space == TrackBuilder::SPACE_ROCKET_WALLS);
        } else if (kind == TrackBuilder::OBSTACLE) {
            EXPECT_EQ(space, TrackBuilder::SPACE_OBSTACLES);
        } else if (kind >= TrackBuilder::PICKUP && kind <= TrackBuilder::TRIGGER) {
            EXPECT_EQ(space, TrackBuilder::SPACE_ZONES) << geom->getName();
        }
    }
    EXPECT_EQ(kinds[TrackBuilder::FINISH], 1);
    EXPECT_GE(kinds[TrackBuilder::GROUND], 1);
    EXPECT_GE(kinds[TrackBuilder::WALL], 2);
    EXPECT_GE(kinds[TrackBuilder::PICKUP], 6);
    EXPECT_GE(kinds[TrackBuilder::SPEEDUP], 1);
    EXPECT_GE(kinds[TrackBuilder::OBSTACLE], 1);
    EXPECT_EQ(scene->getObject(TrackBuilder::PICKUP_OBJECT, 0, 1) != nullptr, true);
}

class EveryDemoTrack : public ::testing::TestWithParam<int> {};

TEST_P(EveryDemoTrack, ComputerKartLapsOnEveryPathWithoutARespawn) {
    DemoTrackArchive archive(GetParam());
    ASSERT_TRUE(archive.ok());
    for (int path = 0; path < RacingLines::PATH_COUNT; ++path) {
        // Onto the line from the start, then two whole laps of 35 to 60 s.
        const TrackDrive run = driveDemoTrack(archive, GetParam(), path, 12000);
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

// The race tints each rider by the illumination map under it: nowhere on the
// lap may that draw a rider dark, and the lamps of a lit track still show.
TEST_P(EveryDemoTrack, IlluminationUnderEveryRiderKeepsItsColoursClear) {
    DemoTrackArchive archive(GetParam());
    ASSERT_TRUE(archive.ok());
    IlluminationMap map;
    ASSERT_TRUE(map.load(GetParam() - 1, archive.files()));
    const Centreline line(demoTrack(GetParam()).centreline());
    float darkest = 10.0f;
    for (const Centreline::Frame& f : line.frames(2.0f))
        for (float lateral : {-0.4f, 0.0f, 0.4f}) {
            const Vec3 p = f.across(lateral * f.width);
            const ColorRGBA tint = map.lookup({p.x, p.y, p.z});
            darkest = std::min({darkest, tint.r, tint.g, tint.b});
        }
    EXPECT_GE(darkest, 0.75f);
}

INSTANTIATE_TEST_SUITE_P(SixTracks, EveryDemoTrack, ::testing::Range(1, 7));

TEST(TrackMaps, IlluminationMapIsNeutralGreyWithItsFirstRowNorthAndFirstColumnWest) {
    LightMap light;
    // Shade in the north-west corner only.
    light.rectangle(-250.0f, 200.0f, -200.0f, 250.0f, 0.2f, 0.5f);
    TempDir dir;
    const std::string file = dir.file("light.bmp");
    {
        std::string bytes = writeBmp(light.picture());
        FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    DiskFile disk("");
    // As the race loads it (bottomUp clear): row 0 is the picture's top.
    std::unique_ptr<Image> image(loadBMP(file.c_str(), &disk, false));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->getWidth(), 1024);
    ASSERT_EQ(image->getHeight(), 1024);
    auto grey = [&](int column, int row) { return image->getPixels()[row * 1024 + column] & 0xFF; };
    EXPECT_NEAR(grey(10, 10), 51, 2);      // x = -245, z = +245: in the shade
    EXPECT_NEAR(grey(1013, 10), 128, 1);   // north-east
    EXPECT_NEAR(grey(10, 1013), 128, 1);   // south-west
    EXPECT_NEAR(grey(512, 512), 128, 1);
}

TEST(DemoTracks, EveryLayoutFitsTheWorldLapsInThirtyFiveToSixtySecondsAndNeverCrossesItself) {
    const std::vector<DemoTrack>& tracks = demoTracks();
    ASSERT_EQ(tracks.size(), 6u);
    for (const DemoTrack& track : tracks) {
        SCOPED_TRACE(track.sceneFile);
        EXPECT_EQ(track.sceneFile, TrackBuilder::sceneFile(track.number, track.name));
        const Centreline line(track.centreline());
        // 35 to 60 s at the top speed of 0.29 a step, 100 steps a second.
        EXPECT_GT(line.length(), 35.0f * 29.0f);
        EXPECT_LT(line.length(), 60.0f * 29.0f);
        // A kart turns at most 1.16 degrees a step: about 14.3 units of radius at top speed.
        EXPECT_GT(line.tightestRadius(), 20.0f);
        for (const Centreline::Frame& f : line.frames(2.0f)) {
            EXPECT_GE(f.width, 10.0f) << "at s = " << f.s;
            for (float side : {-1.0f, 1.0f}) {
                const Vec3 edge = f.across(side * f.width * 0.5f);
                EXPECT_LT(std::fabs(edge.x), 245.0f) << "at s = " << f.s;
                EXPECT_LT(std::fabs(edge.z), 245.0f) << "at s = " << f.s;
            }
        }
        // Where the lap passed over itself in plan, the position map would
        // give one of the two places the other's value.
        const ByteGrid map = TrackMaps::positionMap(line);
        for (const Centreline::Frame& f : line.frames(4.0f)) {
            const int value = map.at(TrackMaps::cellOf(f.position.x, TrackMaps::POSITION_SIZE, false),
                                     TrackMaps::cellOf(f.position.z, TrackMaps::POSITION_SIZE, true));
            // Round the lap: 255 and 1 meet at the finish line.
            const int off = std::abs(value - TrackMaps::positionValue(f.s, line.length()));
            EXPECT_LE(std::min(off, 255 - off), 1) << "at s = " << f.s;
        }
    }
}
