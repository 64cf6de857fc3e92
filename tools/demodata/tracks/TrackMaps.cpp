#include "tools/demodata/tracks/TrackMaps.h"

#include <algorithm>
#include <cmath>

namespace TrackMaps {

uint8_t positionValue(float s, float length) {
    int value = 1 + static_cast<int>(std::floor(s / length * 255.0f));
    return static_cast<uint8_t>(std::clamp(value, 1, 255));
}

float cellCentre(int cell, int size, bool isRow) {
    float along = (static_cast<float>(cell) + 0.5f) * (WORLD_MAX - WORLD_MIN) / static_cast<float>(size);
    return isRow ? WORLD_MAX - along : WORLD_MIN + along;
}

int cellOf(float coordinate, int size, bool isRow) {
    float fraction = isRow ? (WORLD_MAX - coordinate) / (WORLD_MAX - WORLD_MIN)
                           : (coordinate - WORLD_MIN) / (WORLD_MAX - WORLD_MIN);
    return std::clamp(static_cast<int>(fraction * static_cast<float>(size)), 0, size - 1);
}

ByteGrid positionMap(const Centreline& line, float margin) {
    const int size = POSITION_SIZE;
    ByteGrid grid(size, size, 0);
    std::vector<float> best(static_cast<size_t>(size) * size, INFINITY);
    for (const Centreline::Frame& f : line.frames(Centreline::STEP)) {
        const float reach = f.width * 0.5f + margin;
        const uint8_t value = positionValue(f.s, line.length());
        const int c0 = cellOf(f.position.x - reach, size, false), c1 = cellOf(f.position.x + reach, size, false);
        const int r0 = cellOf(f.position.z + reach, size, true), r1 = cellOf(f.position.z - reach, size, true);
        for (int r = r0; r <= r1; ++r) {
            const float dz = cellCentre(r, size, true) - f.position.z;
            for (int c = c0; c <= c1; ++c) {
                const float dx = cellCentre(c, size, false) - f.position.x;
                const float d = std::sqrt(dx * dx + dz * dz);
                float& held = best[static_cast<size_t>(r) * size + c];
                if (d > reach || d >= held) continue;
                held = d;
                grid.at(c, r) = value;
            }
        }
    }
    return grid;
}

std::string positionMapFile(int trackNumber) {
    return "D:\\Vantorik/mini_maps/posmap_track_0" + std::to_string(trackNumber) + ".pcx";
}

std::string illuminationMapFile(int trackNumber) {
    return "D:\\Vantorik/mini_maps/illumination_track_0" + std::to_string(trackNumber) + ".bmp";
}

} // namespace TrackMaps
