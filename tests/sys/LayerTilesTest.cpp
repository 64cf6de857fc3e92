#include <gtest/gtest.h>

#include <vector>

#include "sys/gui/LayerTiles.h"

namespace {

using sys::LayerTiles;

// How often each pixel of a width x height layer is covered by the areas.
std::vector<int> coverage(const std::vector<LayerTiles::Area>& areas, uint32_t width, uint32_t height) {
    std::vector<int> covered(size_t(width) * height, 0);
    for (const LayerTiles::Area& a : areas) {
        EXPECT_LT(a.left, a.right);
        EXPECT_LT(a.top, a.bottom);
        EXPECT_LE(a.right, width);
        EXPECT_LE(a.bottom, height);
        for (uint32_t y = a.top; y < a.bottom; ++y)
            for (uint32_t x = a.left; x < a.right; ++x) ++covered[y * width + x];
    }
    return covered;
}

} // namespace

TEST(LayerTiles, AreasCoverEveryMarkedPixelOnceWithinTheLayerAndNothingWhenNothingWasDrawn) {
    // A width and height that are no multiple of the tile.
    const uint32_t width = 1000, height = 750;
    LayerTiles tiles;
    tiles.reset(width, height);
    EXPECT_TRUE(tiles.areas().empty());
    tiles.mark(-20.0f, -20.0f, -1.0f, 600.0f);  // wholly off the layer
    tiles.mark(300.0f, 300.0f, 300.0f, 400.0f); // no width
    EXPECT_TRUE(tiles.areas().empty());

    // Overlapping panels, one on a fraction of a pixel, one past the bottom right corner.
    const float rects[][4] = {{10.0f, 30.0f, 228.0f, 113.0f},
                              {100.5f, 60.25f, 300.75f, 90.5f},
                              {660.0f, 400.0f, 1010.0f, 760.0f}};
    for (const auto& r : rects) tiles.mark(r[0], r[1], r[2], r[3]);
    const std::vector<LayerTiles::Area> areas = tiles.areas();
    const std::vector<int> covered = coverage(areas, width, height);
    int coveredPixels = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const int c = covered[y * width + x];
            EXPECT_LE(c, 1) << "drawn twice at " << x << ", " << y;
            coveredPixels += c;
            bool marked = false;
            for (const auto& r : rects)
                marked |= float(x) + 1.0f > r[0] && float(x) < r[2] && float(y) + 1.0f > r[1] && float(y) < r[3];
            if (marked) {
                EXPECT_EQ(c, 1) << "left out at " << x << ", " << y;
            }
        }
    // The blended share stays near the panels' own.
    EXPECT_LT(coveredPixels, int(width * height) / 3);

    tiles.markAll();
    for (int c : coverage(tiles.areas(), width, height)) ASSERT_EQ(c, 1);
}
