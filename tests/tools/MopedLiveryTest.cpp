// The mopeds' and riders' pictures: every painted face finds its picture, the
// name reads the right way round on both sides, the riders differ from behind.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedFiles.h"
#include "tools/demodata/mopeds/MopedLivery.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/RiderLivery.h"
#include "tools/lightwave/Lwo2Writer.h"

namespace {

namespace mn = MopedNames;

// A 24-bit BMP's pixel (x, y from the top left) as 0 to 255 channels.
std::array<int, 3> bmpPixel(const std::string& bmp, int x, int y) {
    auto u32 = [&](size_t at) { return uint32_t(uint8_t(bmp[at])) | uint32_t(uint8_t(bmp[at + 1])) << 8 |
                                        uint32_t(uint8_t(bmp[at + 2])) << 16 | uint32_t(uint8_t(bmp[at + 3])) << 24; };
    const int width = int(u32(18)), height = int(u32(22));
    const size_t row = (size_t(width) * 3 + 3) & ~size_t(3);
    const size_t at = u32(10) + size_t(height - 1 - y) * row + size_t(x) * 3;
    return {uint8_t(bmp[at + 2]), uint8_t(bmp[at + 1]), uint8_t(bmp[at])};
}

// Every point of a face tagged `surface` has UVs in the layer's picture map.
bool everyFaceMapped(const Lwo2Layer& layer, uint16_t surface, int& faces) {
    std::set<uint32_t> mapped;
    for (const Lwo2VertexMap& map : layer.vertexMaps)
        if (map.type == "TXUV" && !map.discontinuous)
            for (const Lwo2MapEntry& e : map.entries) mapped.insert(e.point);
    for (const Lwo2PolygonTag& tag : layer.polygonTags.at(0).tags) {
        if (tag.tag != surface) continue;
        ++faces;
        for (uint32_t point : layer.polygonLists.at(0).polygons[tag.polygon].points)
            if (!mapped.count(point)) return false;
    }
    return true;
}

} // namespace

TEST(MopedLivery, BodySeatAndTyresOfEveryMopedAndEachRidersJacketShowTheirPictures) {
    std::map<std::string, std::string> files;
    for (const MopedFile& file : mopedFiles()) files[file.archiveName] = file.bytes;
    ASSERT_TRUE(files.count(MopedLivery::CHROME_PICTURE));
    for (int model = 0; model < mn::MODELS; ++model)
        for (int colour = 0; colour < mn::COLOURS; ++colour) {
            SCOPED_TRACE(mn::mopedObject(model, colour));
            Lwo2Object object = mopedDesign(model).object(colour);
            MopedLivery::apply(object, model, colour);
            const std::string picture = MopedLivery::pictureName(model, colour);
            ASSERT_TRUE(files.count(picture));
            ASSERT_EQ(files[picture].substr(0, 2), "BM");
            ASSERT_FALSE(object.clips.empty());
            EXPECT_EQ(object.clips[0].still, std::string("D:/") + picture.substr(3));
            for (uint16_t surface : {MopedParts::MAIN, MopedParts::SEAT, MopedParts::TYRE}) {
                ASSERT_EQ(object.surfaces[surface].blocks.size(), 1u) << object.surfaces[surface].name;
                EXPECT_EQ(object.surfaces[surface].blocks[0].projection, 5);
                int faces = 0;
                for (const Lwo2Layer& layer : object.layers) EXPECT_TRUE(everyFaceMapped(layer, surface, faces));
                EXPECT_GT(faces, 0) << object.surfaces[surface].name;
            }
            EXPECT_EQ(object.surfaces[MopedParts::CHROME].reflectionOptions, 2);
        }
    std::array<std::array<int, 3>, mn::RIDERS> backs{};
    for (int rider = 1; rider <= mn::RIDERS; ++rider) {
        const std::string& bmp = files[RiderLivery::pictureName(rider)];
        ASSERT_EQ(bmp.substr(0, 2), "BM") << "rider " << rider;
        // The back's mean colour, over the left half of the picture.
        std::array<long, 3> sum{};
        for (int y = 0; y < 256; y += 4)
            for (int x = 0; x < 128; x += 4)
                for (int c = 0; c < 3; ++c) sum[size_t(c)] += bmpPixel(bmp, x, y)[size_t(c)];
        for (int c = 0; c < 3; ++c) backs[size_t(rider - 1)][size_t(c)] = int(sum[size_t(c)] / (64 * 32));
    }
    // From behind, each rider's back stands apart from every other's.
    for (int a = 0; a < mn::RIDERS; ++a)
        for (int b = a + 1; b < mn::RIDERS; ++b) {
            int distance = 0;
            for (int c = 0; c < 3; ++c) distance += std::abs(backs[size_t(a)][size_t(c)] - backs[size_t(b)][size_t(c)]);
            EXPECT_GT(distance, 45) << "riders " << a + 1 << " and " << b + 1;
        }
}

TEST(MopedLivery, EachSidesPictureCarriesTheNameTheLeftOneMirrored) {
    // Rows 0 to 191 are the right side, rows 192 on the left: the same white
    // letters row by row, but mirrored, so the two bands are not alike.
    for (int model = 0; model < mn::MODELS; ++model) {
        SCOPED_TRACE(mn::MODEL[model]);
        const std::string bmp = MopedLivery::picture(model, 0);
        auto white = [&](int x, int y) {
            const auto p = bmpPixel(bmp, x, y);
            return p[0] > 235 && p[1] > 235 && p[2] > 235;
        };
        int letters = 0, unlike = 0;
        for (int y = 0; y < 192; ++y) {
            int right = 0, left = 0;
            for (int x = 0; x < 512; ++x) {
                right += white(x, y), left += white(x, 192 + y);
                unlike += white(x, y) != white(x, 192 + y);
            }
            letters += right;
            EXPECT_NEAR(left, right, 2 + right / 10) << "row " << y;
        }
        EXPECT_GT(letters, 500);
        EXPECT_GT(unlike, 100);
    }
}
