#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive/DiskFile.h"
#include "game/drivers/ControllerAI.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/records/RecordBytes.h"
#include "tests/game/GameTestSupport.h"

namespace {

struct PathRecord {
    float x, y, z, speed;
};

std::string records(const std::vector<PathRecord>& points) {
    std::string bytes(points.size() * 16, '\0');
    auto* out = reinterpret_cast<uint8_t*>(bytes.data());
    for (const PathRecord& p : points) {
        for (float v : {p.x, p.y, p.z, p.speed}) {
            RecordBytes::putFloat(out, v);
            out += 4;
        }
    }
    return bytes;
}

// Path files of the third track in a scratch data folder.
class ComputerDriverPaths : public ::testing::Test {
protected:
    ComputerDriverPaths() { m_config.m_track = 2; }

    void writePath(int fileNumber, const std::string& bytes) {
        m_data.write("Vantorik/ai_files/track03/ai" + std::to_string(fileNumber) + ".dat", bytes);
    }

    ScratchFolder m_folder;
    Config m_config{nullptr, ""};
    TempDir m_data;
    DiskFile m_files{m_data.path().c_str()};
};

void expectOriginOnly(const ControllerAI& ai, int path) {
    ASSERT_EQ(ai.m_paths[path].size(), 1u) << "path " << path;
    EXPECT_EQ(ai.m_paths[path][0].x, 0.0f);
    EXPECT_EQ(ai.m_paths[path][0].y, 0.0f);
    EXPECT_EQ(ai.m_paths[path][0].z, 0.0f);
    ASSERT_EQ(ai.m_speeds[path].size(), 1u);
    EXPECT_EQ(ai.m_speeds[path][0], 0.0f);
}

TEST_F(ComputerDriverPaths, MissingOrEmptyFileGivesOneOriginPoint) {
    writePath(2, "");
    writePath(3, records({{1.0f, 2.0f, 3.0f, 0.2f}}));
    ControllerAI ai(nullptr, &m_config, 1, &m_files);
    expectOriginOnly(ai, 0);
    EXPECT_EQ(ai.m_paths[1].size(), 1u);
    EXPECT_EQ(ai.m_paths[1][0].z, 3.0f);
    for (int path = 2; path < ControllerAI::PATHS; ++path) expectOriginOnly(ai, path);

    // A track without a folder has no paths at all.
    m_config.m_track = 6;
    ControllerAI lost(nullptr, &m_config, 2, &m_files);
    for (int path = 0; path < ControllerAI::PATHS; ++path) expectOriginOnly(lost, path);
}

TEST_F(ComputerDriverPaths, KeepsWholeRecordsOnlyAndFollowsTheRidersPath) {
    const float nan = std::nanf("");
    writePath(4, records({{1.0f, 2.0f, 3.0f, 0.25f}, {nan, 0.0f, 0.0f, 1.0f}, {4.0f, 5.0f, 6.0f, nan}}) +
                     std::string(12, '\x7f'));
    ControllerAI ai(nullptr, &m_config, 3, &m_files);
    EXPECT_EQ(ai.m_pathNumber, 2);
    EXPECT_EQ(ai.m_pathIndex, 0);
    const std::vector<Position3>& points = ai.m_paths[2];
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].x, 4.0f);
    EXPECT_EQ(points[1].z, 6.0f);
    ASSERT_EQ(ai.m_speeds[2].size(), 2u);
    EXPECT_EQ(ai.m_speeds[2][0], 0.25f);
    // A speed that is no number counts as the slowest.
    EXPECT_EQ(ai.m_speeds[2][1], 0.0f);
    EXPECT_EQ(ai.m_stuckCheckPosition.y, 2.0f);

    // Rider 0 has no file of its own and shares the first one.
    ControllerAI first(nullptr, &m_config, 0, &m_files);
    EXPECT_EQ(first.m_pathNumber, 0);
}

// A computer driver for rider 1 (file "ai2.dat") in a kart without a scene,
// which stands where the test puts it; the race clock is the test's.
class ComputerDriver : public ComputerDriverPaths {
protected:
    ComputerDriver() { g_race = &m_race; }
    ~ComputerDriver() override { g_race = nullptr; }

    void start(const std::vector<PathRecord>& path) {
        writePath(2, records(path));
        m_ai = new ControllerAI(nullptr, &m_config, 1, &m_files);
        m_kart = std::make_unique<VehicleMaster>("", nullptr, std::unique_ptr<Controller>(m_ai), 1, nullptr,
                                                 std::make_unique<VehicleSettings>(0, ""), 0, 0.5f, 1.0f);
        m_ai->m_vehicle = m_kart.get();
        m_kart->m_active = true;
        m_kart->m_cameraReset = false;
    }
    void standAt(float x, float z) { m_kart->m_newPos = {x, 0.0f, z}; }
    void head(float x, float z) {
        m_kart->m_heading[0] = x;
        m_kart->m_heading[2] = z;
    }
    void updateAt(double time, bool wallHit = false, bool reverseGear = false) {
        m_race.m_simulatedTime = time;
        m_ai->update(wallHit, reverseGear);
    }
    void expectPedals(int accelerate, int brake) {
        EXPECT_EQ(m_ai->accelerate(), accelerate);
        EXPECT_EQ(m_ai->brake(), brake);
    }

    Race m_race;
    ControllerAI* m_ai = nullptr;
    std::unique_ptr<VehicleMaster> m_kart;
};

TEST_F(ComputerDriver, SteersToTheSideOfTheNextPoint) {
    start({{0.0f, 0.0f, 0.0f, 1.0f}, {-5.0f, 0.0f, 10.0f, 1.0f}});
    updateAt(0.0);
    EXPECT_EQ(m_ai->steerLeft(), 1) << "heading +z, the point lies towards -x";
    EXPECT_EQ(m_ai->steerRight(), 0);
    head(0.0f, -1.0f);
    updateAt(0.01);
    EXPECT_EQ(m_ai->steerLeft(), 0);
    EXPECT_EQ(m_ai->steerRight(), 1);
    // Straight ahead keeps the last answer.
    standAt(-5.0f, 0.0f);
    head(0.0f, 1.0f);
    updateAt(0.03);
    EXPECT_EQ(m_ai->steerLeft(), 0);
    EXPECT_EQ(m_ai->steerRight(), 1);
}

TEST_F(ComputerDriver, SpeedsBelowHalfActAsHalf) {
    const float nan = std::nanf("");
    start({{0.0f, 0.0f, 0.0f, 0.1f}, {0.0f, 0.0f, 10.0f, nan}, {0.0f, 0.0f, 20.0f, 0.8f}});
    m_kart->m_curSpeed = 0.3f;
    updateAt(0.0);
    expectPedals(1, 0);
    m_kart->m_curSpeed = 0.5f;
    updateAt(0.01);
    expectPedals(0, 0);
    m_kart->m_curSpeed = 0.6f;
    updateAt(0.02);
    expectPedals(0, 1);
    // Past the first point: the next one asks for 0.8.
    standAt(0.0f, 9.0f);
    updateAt(0.03);
    EXPECT_EQ(m_ai->getPathIndex(), 1);
    expectPedals(1, 0);
}

TEST_F(ComputerDriver, WallHitInReverseGearDoesNotStartReversing) {
    start({{0.0f, 0.0f, 0.0f, 1.0f}, {-5.0f, 0.0f, 10.0f, 1.0f}});
    m_kart->m_curSpeed = 0.3f;
    updateAt(0.0, true, true);
    EXPECT_FALSE(m_ai->m_reversing);
    expectPedals(1, 0);
    EXPECT_EQ(m_ai->steerLeft(), 1);

    // Forward into the wall: one second of backing off, pedals and steering swapped.
    updateAt(0.01, true, false);
    EXPECT_TRUE(m_ai->m_reversing);
    expectPedals(0, 1);
    EXPECT_EQ(m_ai->steerRight(), 1);
    updateAt(1.0);
    EXPECT_TRUE(m_ai->m_reversing);
    updateAt(1.01);
    expectPedals(0, 1);
    EXPECT_FALSE(m_ai->m_reversing);
    updateAt(1.02);
    expectPedals(1, 0);
}

TEST_F(ComputerDriver, SearchWalksAheadOnceAroundAndSurvivesIndicesOutOfRange) {
    start({{0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 5.0f, 1.0f}, {0.0f, 0.0f, 10.0f, 1.0f}, {5.0f, 0.0f, 10.0f, 1.0f}});
    standAt(4.0f, 10.0f);
    updateAt(0.0);
    EXPECT_EQ(m_ai->getPathIndex(), 3);
    standAt(0.0f, -1.0f);
    updateAt(0.01);
    EXPECT_EQ(m_ai->getPathIndex(), 0) << "round the end of the lap";

    // As a respawn may leave them.
    m_ai->m_pathNumber = 9;
    m_ai->setPathIndex(-7);
    updateAt(0.02);
    EXPECT_EQ(m_ai->m_pathNumber, ControllerAI::PATHS - 1);
    EXPECT_EQ(m_ai->getPathIndex(), 0);

    m_ai->m_pathNumber = 0;
    m_ai->setPathIndex(2);
    const float nan = std::nanf("");
    m_kart->m_newPos = {nan, nan, nan};
    updateAt(0.03);
    EXPECT_EQ(m_ai->getPathIndex(), 2) << "nowhere to be found is no reason to move on";
}

TEST_F(ComputerDriver, StuckKartReversesFirstAndRespawnsTheSecondTime) {
    std::vector<PathRecord> path;
    for (int i = 0; i < 20; ++i) path.push_back({0.0f, 0.0f, 3.0f * i, 0.29f});
    for (int file = 3; file <= 7; ++file) writePath(file, records(path));
    start(path);
    standAt(0.0f, 30.0f);
    updateAt(1.0);
    // Frozen: no progress expected.
    m_kart->m_frozenTimer = 2.0f;
    updateAt(6.01);
    EXPECT_FALSE(m_ai->m_reversing);

    m_kart->m_frozenTimer = 0.0f;
    updateAt(11.0);
    EXPECT_FALSE(m_ai->m_reversing) << "only 4.99 s since the last check";
    m_ai->setPathIndex(12);
    updateAt(11.02);
    EXPECT_TRUE(m_ai->m_reversing);
    EXPECT_FALSE(m_kart->m_cameraReset.get());
    EXPECT_EQ(m_ai->getPathIndex(), 10) << "backing off searches backwards";

    updateAt(16.03);
    EXPECT_TRUE(m_kart->m_cameraReset.get());
    Position3 at;
    m_kart->getPosition(at);
    const Position3& point = m_ai->m_paths[m_ai->m_pathNumber][m_ai->getPathIndex()];
    EXPECT_EQ(at.z, point.z);
    EXPECT_LT(at.z, 30.0f);
}

} // namespace
