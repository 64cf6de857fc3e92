// The track checker on the kart fixture and on a small ring track made here,
// whole and with one piece broken at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <sstream>

#include "tests/game/karts/KartTestSupport.h"
#include "tests/support/Bmp24.h"
#include "tools/lightwave/LwsWriter.h"
#include "tools/track-check/TrackCheck.h"
#include "sys/Pi.h"

namespace {

using Vec = std::array<float, 3>;

// The ring's centre line and road; the lap runs towards growing angle a,
// the point at a being (R sin a, 0, R cos a), the finish line at a = 0.
constexpr float R = 40.0f;
constexpr float ROAD_HALF_WIDTH = 12.0f;
const char* const RING_SCENE = "D:\\Vantorik\\3dobjects_tracks\\track_03_ring.lws";
const char* const RING_FILES = "D:\\Vantorik\\ai_files\\track03\\";

struct RingTrack {
    int starts = 5;
    // Start 1 at the front of the grid instead of the back.
    bool reversedGrid = false;
    bool finishLine = true;
    bool mapRises = true;
    // One point of ai4.dat lies 6 below the ground.
    bool sunkenPathPoint = false;
    // A reset zone across the road halfway round.
    bool resetZone = false;
    // An object file the archive lacks.
    bool missingObject = false;
};

Position3 ringPoint(float radius, float a) { return {radius * std::sin(a), 0.0f, radius * std::cos(a)}; }
// Heading (radians) of the lap's direction at angle a.
float headingAt(float a) { return PI / 2.0f + a; }

LwsObject geomNull(const char* name, Position3 at, Vec size, int surface, int space, float heading = 0.0f) {
    LwsObject object;
    object.nullName = name;
    object.item.motion = lwsStillMotion({at.x, at.y, at.z}, {heading, 0.0f, 0.0f});
    object.geom = LwsGeom{1, surface, space, size, std::nullopt};
    return object;
}

std::string ringScene(const RingTrack& ring) {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    LwsOdeMaster physics;
    physics.spaces.push_back({"(default)", 1, -1});
    for (int i = 1; i <= 11; ++i) physics.spaces.push_back({std::to_string(i), 0, 0});
    scene.odeMaster = physics;
    for (int k = 1; k <= ring.starts; ++k) {
        const int fromTheFront = ring.reversedGrid ? k - 1 : ring.starts - k;
        const float a = -(2.0f + 3.0f * float(fromTheFront)) / R;
        const Position3 at = ringPoint(R, a);
        LwsObject start;
        start.nullName = "start";
        start.item.motion = lwsStillMotion({at.x, 0.0f, at.z}, {headingAt(a), 0.0f, 0.0f});
        scene.objects.push_back(start);
    }
    scene.objects.push_back(geomNull("ground", {0.0f, -0.5f, 0.0f}, {260.0f, 1.0f, 260.0f}, 0, 1));
    if (ring.finishLine)
        scene.objects.push_back(
            geomNull("finish", {0.0f, 1.0f, R}, {2.0f * ROAD_HALF_WIDTH, 2.0f, 1.0f}, 19, 6, headingAt(0.0f)));
    if (ring.resetZone)
        scene.objects.push_back(
            geomNull("reset", ringPoint(R, PI), {2.0f * ROAD_HALF_WIDTH, 2.0f, 1.0f}, 7, 6, headingAt(PI)));
    if (ring.missingObject) {
        LwsObject tree;
        tree.fileName = "D:\\Vantorik\\3dobjects_tracks\\ring\\tree.lwo";
        tree.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f});
        scene.objects.push_back(tree);
    }
    scene.lights.emplace_back();
    scene.cameras.emplace_back();
    return LwsWriter().write(scene);
}

void appendFloat(std::string& out, float value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

// Records round the ring about `spacing` apart, starting at the finish line.
std::string ringRecords(float radius, float spacing, int sunkenPoint = -1) {
    const int count = int(std::lround(2.0f * PI * radius / spacing));
    std::string out;
    for (int i = 0; i < count; ++i) {
        Position3 p = ringPoint(radius, 2.0f * PI * float(i) / float(count));
        if (i == sunkenPoint) p.y = -6.0f;
        for (float v : {p.x, p.y, p.z, 0.29f}) appendFloat(out, v);
    }
    return out;
}

// An 8-bit 512 x 512 PCX: the value at each cell's centre.
template <typename Value>
std::string pcx512(Value value) {
    std::string out(128, '\0');
    auto put16 = [&](size_t at, int v) { out[at] = char(v & 0xFF), out[at + 1] = char(v >> 8); };
    out[0] = 10, out[1] = 5, out[2] = 1, out[3] = 8, out[65] = 1;
    put16(8, 511), put16(10, 511), put16(66, 512), put16(68, 1);
    for (int row = 0; row < 512; ++row)
        for (int column = 0; column < 512; ++column) {
            const uint8_t v =
                value(-250.0f + (column + 0.5f) * 500.0f / 512.0f, 250.0f - (row + 0.5f) * 500.0f / 512.0f);
            // Values with both top bits set would read as run lengths: give them a run of one.
            if (v >= 0xC0) out += char(0xC1);
            out += char(v);
        }
    out += char(0x0C);
    out.append(768, '\0');
    return out;
}

// 1 at the finish line rising to 255 just before it; 0 off the road.
uint8_t ringProgress(float x, float z, bool rises) {
    if (std::abs(std::hypot(x, z) - R) > ROAD_HALF_WIDTH) return 0;
    float s = std::atan2(x, z) / (2.0f * PI);
    if (s < 0.0f) s += 1.0f;
    const int value = std::min(1 + int(s * 255.0f), 255);
    return uint8_t(rises ? value : 256 - value);
}

std::vector<KartFixture::Asset> ringFiles(const RingTrack& ring) {
    std::vector<KartFixture::Asset> files = {
        {RING_SCENE, ringScene(ring)},
        {std::string(RING_FILES) + "ai_respawn.dat", ringRecords(R, 5.0f)},
        {"D:\\Vantorik/mini_maps/posmap_track_03.pcx",
         pcx512([&](float x, float z) { return ringProgress(x, z, ring.mapRises); })},
        {"D:\\Vantorik/mini_maps/illumination_track_03.bmp", bmp24(1024, 1024, 0x808080)},
    };
    for (int path = 0; path < 6; ++path)
        files.push_back({std::string(RING_FILES) + "ai" + std::to_string(path + 2) + ".dat",
                         ringRecords(36.0f + 2.0f * float(path), 2.5f, ring.sunkenPathPoint && path == 2 ? 40 : -1)});
    return files;
}

std::set<std::string> failedItems(const TrackCheck& check) {
    std::set<std::string> failed;
    for (const TrackCheck::Item& item : check.items())
        if (!item.ok) failed.insert(item.name);
    return failed;
}

} // namespace

TEST(TrackCheck, KartFixtureFailsOnlyForItsTestGridAndTheFinishLineAndMapsItLacks) {
    KartFixtureArchive archive;
    ASSERT_TRUE(archive.ok());
    TrackCheck check(archive.files(), TrackCheck::Options());
    std::ostringstream report;
    EXPECT_FALSE(check.run(KartFixture::TRACK_SCENE, report));
    // The rig's start 1 stands at the foot of its straight, in front of the others, for driving tests.
    EXPECT_EQ(failedItems(check), (std::set<std::string>{"starts", "finish line", "position map", "illumination map"}))
        << report.str();
    // Without a finish line the laps are counted where the path starts over.
    EXPECT_EQ(check.lapTimes().size(), 2u) << report.str();
    std::printf("%s", report.str().c_str());
}

TEST(TrackCheck, RingTrackPassesEveryCheckAndLapsAtItsFinishLine) {
    KartFixtureArchive archive(ringFiles(RingTrack()));
    ASSERT_TRUE(archive.ok());
    TrackCheck check(archive.files(), TrackCheck::Options());
    std::ostringstream report;
    EXPECT_TRUE(check.run(RING_SCENE, report)) << report.str();
    EXPECT_EQ(check.items().size(), 16u) << report.str();
    // Path 0 is 226 long: a flying lap at 29 a second takes about 7.8 s; the
    // first lap begins as the kart from the back of the grid, 14 behind the
    // line, crosses it still gathering speed.
    ASSERT_EQ(check.lapTimes().size(), 2u) << report.str();
    EXPECT_NEAR(check.lapTimes()[1], 7.8, 0.5) << report.str();
    EXPECT_GT(check.lapTimes()[0], check.lapTimes()[1] + 1.0) << report.str();
}

TEST(TrackCheck, EachBrokenPieceFailsItsOwnCheck) {
    struct Case {
        RingTrack ring;
        std::set<std::string> failed;
    };
    RingTrack fourStarts, reversedGrid, noLine, sunkenPoint, fallingMap, reset, missing;
    fourStarts.starts = 4;
    reversedGrid.reversedGrid = true;
    noLine.finishLine = false;
    sunkenPoint.sunkenPathPoint = true;
    fallingMap.mapRises = false;
    reset.resetZone = true;
    missing.missingObject = true;
    const Case cases[] = {{fourStarts, {"starts"}},   {reversedGrid, {"starts"}},
                          {noLine, {"finish line", "position map"}},
                          {sunkenPoint, {"ai4.dat"}}, {fallingMap, {"position map"}},
                          {reset, {"drive"}},         {missing, {"files"}}};
    for (const Case& broken : cases) {
        KartFixtureArchive archive(ringFiles(broken.ring));
        ASSERT_TRUE(archive.ok());
        TrackCheck check(archive.files(), TrackCheck::Options());
        std::ostringstream report;
        EXPECT_FALSE(check.run(RING_SCENE, report));
        EXPECT_EQ(failedItems(check), broken.failed) << report.str();
        std::printf("%s", report.str().c_str());
    }
}

TEST(TrackCheck, MissingSceneFailsAndNumbersNameTheDemoTracks) {
    KartFixtureArchive archive;
    ASSERT_TRUE(archive.ok());
    TrackCheck check(archive.files(), TrackCheck::Options());
    std::ostringstream report;
    EXPECT_FALSE(check.run(TrackCheck::sceneOf("4"), report));
    EXPECT_EQ(failedItems(check), std::set<std::string>{"scene"}) << report.str();
    EXPECT_EQ(TrackCheck::sceneOf("4"), "D:\\Vantorik\\3dobjects_tracks\\track_04_parkplatz.lws");
    EXPECT_EQ(TrackCheck::sceneOf("7"), "7");
}
