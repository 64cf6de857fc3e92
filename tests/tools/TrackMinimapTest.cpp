// The track pictures drawn from the demo tracks' layouts: the race's mini
// maps put the road exactly where the rider dots go, the menu pictures
// fit each whole lap into their frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/guidata/TrackPictures.h"

namespace {

// Where the race puts a rider's dot on a mini map of `size` pixels: +x right, +z up over -250..250.
std::pair<int, int> dotPixel(float x, float z, int size) {
    return {int((x + 250.0f) / 500.0f * float(size)), int(float(size) - (z + 250.0f) / 500.0f * float(size))};
}

unsigned channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

} // namespace

TEST(TrackMinimaps, RoadLiesUnderEveryPointOfTheLapAndNowhereFarFromIt) {
    for (int t = 1; t <= 6; ++t) {
        const Centreline line(demoTracks()[size_t(t - 1)].centreline());
        const Canvas map = trackPictures::minimap(t);
        ASSERT_EQ(map.width(), trackPictures::MINIMAP_SIZE);
        ASSERT_EQ(map.height(), trackPictures::MINIMAP_SIZE);
        // Past the finish line's chequer, the road is drawn light and solid.
        for (float s = 8.0f; s < line.length() - 8.0f; s += 5.0f) {
            const Vec3 p = line.at(s).position;
            const auto [x, y] = dotPixel(p.x, p.z, map.width());
            const uint32_t pixel = map.pixel(x, y);
            EXPECT_GT(channel(pixel, 24), 240u) << "track " << t << " s " << s;
            EXPECT_GT(channel(pixel, 16), 150u) << "track " << t << " s " << s;
        }
        // Well away from the road, inside the rim round the edge, only the see-through wash.
        const int rim = 8;
        for (float z = -240.0f; z < 250.0f; z += 20.0f)
            for (float x = -240.0f; x < 250.0f; x += 20.0f) {
                const Centreline::Nearest n = line.nearest(x, z);
                if (n.distance < line.at(n.s).width * 0.5f + 12.0f) continue;
                const auto [px, py] = dotPixel(x, z, map.width());
                if (std::min(px, py) < rim || std::max(px, py) >= map.width() - rim) continue;
                EXPECT_LT(channel(map.pixel(px, py), 24), 128u) << "track " << t << " at " << x << ", " << z;
            }
    }
}

TEST(TrackMenuPictures, EveryLapFillsItsPictureAboveTheCaptionsPlate) {
    for (int t = 1; t <= 6; ++t) {
        const Canvas picture = trackPictures::menuPicture(t);
        ASSERT_EQ(picture.width(), trackPictures::PICTURE_WIDTH);
        ASSERT_EQ(picture.height(), trackPictures::PICTURE_HEIGHT);
        // The road's dark outline, by its bounding box.
        int x0 = picture.width(), x1 = -1, y0 = picture.height(), y1 = -1;
        const int top = trackPictures::CAPTION_TOP;
        for (int y = 0; y < top; ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const uint32_t p = picture.pixel(x, y);
                if (channel(p, 16) > 0x24 || channel(p, 8) > 0x24 || channel(p, 0) > 0x24) continue;
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        ASSERT_GE(x1, 0) << "track " << t;
        EXPECT_GE(x0, 2) << "track " << t;
        EXPECT_GE(y0, 2) << "track " << t;
        EXPECT_LE(x1, picture.width() - 3) << "track " << t;
        EXPECT_LE(y1, top - 3) << "track " << t;
        // Scaled up until one side reaches the margin.
        EXPECT_TRUE(x1 - x0 >= picture.width() - 14 || y1 - y0 >= top - 14)
            << "track " << t << ": " << x0 << ".." << x1 << ", " << y0 << ".." << y1;
        // The caption's plate below stays dark, so its white name reads with no road behind it.
        for (int y = top; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                ASSERT_LT(std::max({channel(picture.pixel(x, y), 16), channel(picture.pixel(x, y), 8),
                                    channel(picture.pixel(x, y), 0)}),
                          0x60u)
                    << "track " << t << " at " << x << ", " << y;
    }
}
