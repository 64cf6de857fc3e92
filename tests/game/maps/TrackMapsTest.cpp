// The track maps over the square x, z in -250..250: which pixel or byte a
// world position reads, at the edges and beyond, on pictures made here; a
// missing or small picture; and the demo tracks' position maps along a lap.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/images/ImageLoaders.h"
#include "game/maps/IlluminationMap.h"
#include "game/maps/PositionMap.h"
#include "tests/game/race/RaceTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/tracks/BmpWriter.h"
#include "tools/demodata/tracks/PcxWriter.h"
#include "tools/demodata/tracks/RacingLines.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

const char* const ILLUMINATION_01 = "D:\\Vantorik/mini_maps/illumination_track_01.bmp";
const char* const POSITION_01 = "D:\\Vantorik/mini_maps/posmap_track_01.pcx";

// Files packed and opened as the game opens its archive.
class MapFiles {
public:
    explicit MapFiles(const std::map<std::string, std::string>& files) {
        ArchiveWriter writer;
        for (const auto& [name, bytes] : files) EXPECT_TRUE(writer.add(name, bytes, 0)) << name;
        std::string error;
        EXPECT_TRUE(writer.write(m_dir.file("maps.sar"), error)) << error;
        EXPECT_TRUE(m_archive.openArchive(m_dir.file("maps.sar").c_str()));
    }
    File& files() { return m_archive; }

private:
    TempDir m_dir;
    DiskFile m_disk{""};
    DataArchive m_archive{m_disk};
};

Picture::Rgb byteGrey(int value) { return grey(static_cast<float>(value) / 255.0f); }

void expectTint(const ColorRGBA& tint, float r, float g, float b) {
    EXPECT_NEAR(tint.r, r, 1e-4f);
    EXPECT_NEAR(tint.g, g, 1e-4f);
    EXPECT_NEAR(tint.b, b, 1e-4f);
    EXPECT_EQ(tint.a, 1.0f);
}

} // namespace

TEST(IlluminationMapLookup, ReadsTheTopRowNorthAndTheBorderBeyondTheSquare) {
    // Grey 128, the top row green, the bottom row blue, the east column red, the west column grey 200.
    Picture picture(1024, 1024, byteGrey(128));
    for (int i = 1; i < 1023; ++i) picture.at(1023, i) = rgb(1, 0, 0), picture.at(0, i) = byteGrey(200);
    for (int i = 0; i < 1024; ++i) picture.at(i, 0) = rgb(0, 1, 0), picture.at(i, 1023) = rgb(0, 0, 1);
    MapFiles archive({{ILLUMINATION_01, writeBmp(picture)}});
    IlluminationMap map;
    ASSERT_TRUE(map.load(0, archive.files()));

    expectTint(map.lookup({0, 0, 250}), 0, 2, 0);
    expectTint(map.lookup({0, 0, -250}), 0, 0, 2);
    expectTint(map.lookup({250, 0, 0}), 2, 0, 0);
    expectTint(map.lookup({1000, 0, 0}), 2, 0, 0);
    expectTint(map.lookup({1000, 0, -1e30f}), 0, 0, 2);
    const float grey128 = 256.0f / 255.0f;
    expectTint(map.lookup({10.3f, 5, -20.7f}), grey128, grey128, grey128);
    // Half a pixel west of the square: 1.5 times the west column less half the next.
    const float west = 1.5f * 400.0f / 255.0f - 0.5f * grey128;
    expectTint(map.lookup({-250.0f - 0.5f * 500.0f / 1024.0f, 0, 0}), west, west, west);
}

TEST(IlluminationMapLookup, MissingOrSmallPictureStaysInsideItsPixels) {
    Picture small(4, 2);
    for (int x = 0; x < 4; ++x) small.at(x, 0) = byteGrey(10 * x), small.at(x, 1) = byteGrey(100 + 10 * x);
    MapFiles archive({{ILLUMINATION_01, writeBmp(small)}});
    IlluminationMap map;
    EXPECT_FALSE(map.load(1, archive.files()));
    expectTint(map.lookup({0, 0, 0}), 1, 1, 1);
    EXPECT_FALSE(map.load(6, archive.files()));

    ASSERT_TRUE(map.load(0, archive.files()));
    const float last = 130.0f / 255.0f * 2.0f;
    expectTint(map.lookup({0, 0, 0}), last, last, last);
    expectTint(map.lookup({1000, 0, -1000}), last, last, last);
    expectTint(map.lookup({-250, 0, 250}), 0, 0, 0);
}

TEST(PositionMapLookup, ReadsTheTopRowNorthAndTheBorderBeyondTheSquare) {
    // Inside, one more than the column; the top row 50, the bottom row 100, west 20, east 200.
    ByteGrid grid(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) grid.at(x, y) = static_cast<uint8_t>(1 + x % 250);
    for (int i = 0; i < 512; ++i) grid.at(0, i) = 20, grid.at(511, i) = 200;
    for (int i = 0; i < 512; ++i) grid.at(i, 0) = 50, grid.at(i, 511) = 100;
    MapFiles archive({{POSITION_01, writePcx(grid)}});
    PositionMap map;
    ASSERT_TRUE(map.load(0, archive.files()));

    EXPECT_EQ(map.lookup({0, 0, 250}), 50);
    EXPECT_EQ(map.lookup({0, 0, -250}), 100);
    EXPECT_EQ(map.lookup({250, 0, 0}), 200);
    EXPECT_EQ(map.lookup({1000, 0, 0}), 200);
    EXPECT_EQ(map.lookup({-250.5f, 0, 0}), 20);
    EXPECT_EQ(map.lookup({1e30f, 0, -1e30f}), 100);
    // 3.7 cells east of the west edge is column 3.
    EXPECT_EQ(map.lookup({-250.0f + 3.7f * 500.0f / 512.0f, 0, 0}), 4);
}

TEST(PositionMapLookup, MissingOrSmallImageStaysInsideItsBytes) {
    // Five columns stored in lines of six: the padding byte (0) is never read.
    ByteGrid small(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) small.at(x, y) = static_cast<uint8_t>(10 * y + x + 1);
    MapFiles archive({{POSITION_01, writePcx(small)}});
    PositionMap map;
    EXPECT_FALSE(map.load(1, archive.files()));
    EXPECT_EQ(map.lookup({0, 0, 0}), 255);
    EXPECT_FALSE(map.load(-1, archive.files()));
    EXPECT_EQ(map.m_image.pixels, nullptr);

    ASSERT_TRUE(map.load(0, archive.files()));
    EXPECT_EQ(map.lookup({0, 0, 0}), 25);
    EXPECT_EQ(map.lookup({1000, 0, 250}), 5);
    EXPECT_EQ(map.lookup({-250, 0, 250}), 1);
    map.unload();
    EXPECT_EQ(map.m_image.pixels, nullptr);
    EXPECT_EQ(map.lookup({0, 0, 0}), 255);
}

TEST(PositionMapLookup, DemoTracksCountEverySectorOnceAlongTheComputerPath) {
    for (int track = 0; track < 6; ++track) {
        PositionMap map;
        ASSERT_TRUE(map.load(track, demoArchive())) << "track " << track;
        std::unique_ptr<FileData> path(loadFileData(RacingLines::pathFile(track + 1, 0).c_str(), &demoArchive()));
        ASSERT_NE(path, nullptr) << "track " << track;
        std::vector<float> records(path->getSize() / sizeof(float));
        std::memcpy(records.data(), path->getData(), records.size() * sizeof(float));
        const size_t points = records.size() / 4;
        ASSERT_GT(points, 20u);
        // Sectors only step forward, one at a time, and a lap passes all sixteen once.
        int sectorsPassed = 0;
        for (size_t i = 0; i < points; ++i) {
            const size_t next = (i + 1) % points;
            const int here = map.lookup({records[4 * i], records[4 * i + 1], records[4 * i + 2]});
            const int ahead = map.lookup({records[4 * next], records[4 * next + 1], records[4 * next + 2]});
            ASSERT_NE(here, 0) << "track " << track << " point " << i << " lies off the road";
            const int step = (ahead / 16 - here / 16 + 16) % 16;
            EXPECT_LE(step, 1) << "track " << track << " point " << i;
            sectorsPassed += step;
        }
        EXPECT_EQ(sectorsPassed, 16) << "track " << track;
    }
}
