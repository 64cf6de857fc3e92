#include "game/maps/PositionMap.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "game/maps/MapGrid.h"

namespace {

constexpr int32_t SIDE = 512;

const char* const FILES[] = {
    "D:\\Vantorik/mini_maps/posmap_track_01.pcx", "D:\\Vantorik/mini_maps/posmap_track_02.pcx",
    "D:\\Vantorik/mini_maps/posmap_track_03.pcx", "D:\\Vantorik/mini_maps/posmap_track_04.pcx",
    "D:\\Vantorik/mini_maps/posmap_track_05.pcx", "D:\\Vantorik/mini_maps/posmap_track_06.pcx"};
constexpr int32_t TRACKS = sizeof FILES / sizeof FILES[0];

int32_t s16(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }

// Grid position to a cell of the image, the image's last one at most.
int32_t cellOf(float cell, int32_t cells) {
    return std::clamp(static_cast<int32_t>(nearGrid(cell, SIDE)), 0, std::min(SIDE, cells) - 1);
}

} // namespace

PositionMap::PositionMap() : m_image{} {}
PositionMap::~PositionMap() { unload(); }

bool PositionMap::load(int32_t track, File& files) {
    unload();
    if (track < 0 || track >= TRACKS) return false;
    return loadPCX(FILES[track], &files, &m_image);
}

uint8_t PositionMap::lookup(const Position3& position) const {
    if (!m_image.pixels) return 255;
    // The loader decoded rows × line bytes; a header's width beyond its line is not believed.
    const uint8_t* header = m_image.header;
    const int32_t line = s16(header + 66), rows = s16(header + 10) - s16(header + 6) + 1;
    int32_t columns = s16(header + 8) - s16(header + 4) + 1;
    if (columns < 1 || columns > line) columns = line;
    const int32_t column = cellOf((position.x - m_minX) / (m_maxX - m_minX) * SIDE, columns);
    const int32_t row = cellOf(SIDE - (position.z - m_minZ) / (m_maxZ - m_minZ) * SIDE, rows);
    return m_image.pixels[static_cast<size_t>(row) * line + column];
}

void PositionMap::unload() {
    std::free(m_image.pixels);
    m_image = PcxImage{};
}
