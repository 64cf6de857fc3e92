#include "game/maps/IlluminationMap.h"

#include <algorithm>
#include <cstddef>

#include "engine/platform/images/Image.h"
#include "engine/platform/images/ImageLoaders.h"
#include "game/maps/MapGrid.h"

namespace {

constexpr int32_t SIDE = 1024;

const char* const FILES[] = {
    "D:\\Vantorik/mini_maps/illumination_track_01.bmp", "D:\\Vantorik/mini_maps/illumination_track_02.bmp",
    "D:\\Vantorik/mini_maps/illumination_track_03.bmp", "D:\\Vantorik/mini_maps/illumination_track_04.bmp",
    "D:\\Vantorik/mini_maps/illumination_track_05.bmp", "D:\\Vantorik/mini_maps/illumination_track_06.bmp"};
constexpr int32_t TRACKS = sizeof FILES / sizeof FILES[0];

float channel(uint32_t pixel, int shift) { return static_cast<float>((pixel >> shift) & 0xFF) / 255.0f * 2.0f; }

} // namespace

IlluminationMap::IlluminationMap() = default;
IlluminationMap::~IlluminationMap() = default;

const char* IlluminationMap::fileName(int32_t track) { return track >= 0 && track < TRACKS ? FILES[track] : nullptr; }

bool IlluminationMap::load(int32_t track, File& files) {
    m_image.reset();
    const char* name = fileName(track);
    if (!name) return false;
    // Rows not kept in file order: the picture's top row becomes row 0, the north edge at z = 250.
    m_image.reset(loadImage(name, &files, false));
    return m_image != nullptr;
}

ColorRGBA IlluminationMap::lookup(const Position3& position) const {
    if (!m_image || !m_image->getPixels()) return {1.0f, 1.0f, 1.0f, 1.0f};
    const float u = nearGrid((position.x - m_minX) / (m_maxX - m_minX) * SIDE, SIDE);
    const float v = nearGrid(SIDE - (position.z - m_minZ) / (m_maxZ - m_minZ) * SIDE, SIDE);
    const int32_t i = static_cast<int32_t>(u), j = static_cast<int32_t>(v);
    const float a = u - static_cast<float>(i), b = v - static_cast<float>(j);
    // A picture smaller than the map is read up to its own edge.
    const int32_t width = m_image->getWidth();
    const int32_t lastColumn = std::min(SIDE, width) - 1, lastRow = std::min(SIDE, m_image->getHeight()) - 1;
    const uint32_t* pixels = m_image->getPixels();
    auto pixel = [&](int32_t column, int32_t row) {
        return pixels[static_cast<size_t>(std::clamp(row, 0, lastRow)) * width + std::clamp(column, 0, lastColumn)];
    };
    const uint32_t corners[4] = {pixel(i, j), pixel(i, j + 1), pixel(i + 1, j), pixel(i + 1, j + 1)};
    const float weights[4] = {(1 - a) * (1 - b), (1 - a) * b, a * (1 - b), a * b};
    ColorRGBA tint{0.0f, 0.0f, 0.0f, 1.0f};
    for (int k = 0; k < 4; ++k) {
        tint.r += channel(corners[k], 16) * weights[k];
        tint.g += channel(corners[k], 8) * weights[k];
        tint.b += channel(corners[k], 0) * weights[k];
    }
    return tint;
}
