#include "tools/track-check/TrackPositionMap.h"

#include <algorithm>
#include <cstdlib>

#include "engine/platform/images/ImageLoaders.h"

namespace {

constexpr float LOW = -250.0f;
constexpr float HIGH = 250.0f;
constexpr int LAST_SECTOR = 15;

int s16(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }

int clampCell(float cell) { return std::clamp(static_cast<int>(cell), 0, TrackPositionMap::SIDE - 1); }

} // namespace

bool TrackPositionMap::load(File& files, const std::string& name, std::string& problem) {
    PcxImage image{};
    if (!loadPCX(name.c_str(), &files, &image)) {
        problem = "missing or unreadable " + name;
        return false;
    }
    const uint8_t* h = image.header;
    const int width = s16(h + 8) - s16(h + 4) + 1, rows = s16(h + 10) - s16(h + 6) + 1, line = s16(h + 66);
    const bool fits = h[3] == 8 && h[65] == 1 && width == SIDE && rows == SIDE && line == SIDE;
    if (fits) m_bytes.assign(image.pixels, image.pixels + SIDE * SIDE);
    std::free(image.pixels);
    if (!fits)
        problem = name + " is " + std::to_string(width) + " x " + std::to_string(rows) + ", " + std::to_string(h[3]) +
                  " bits in " + std::to_string(h[65]) + " planes, lines of " + std::to_string(line) +
                  " bytes; the race reads 512 x 512 bytes";
    return fits;
}

uint8_t TrackPositionMap::at(const Position3& p) const {
    // Truncated toward zero, as the race does: a row counts down from z = +250.
    const int column = clampCell((p.x - LOW) / (HIGH - LOW) * SIDE);
    const int row = clampCell(SIDE - (p.z - LOW) / (HIGH - LOW) * SIDE);
    return m_bytes[static_cast<size_t>(row) * SIDE + column];
}

TrackPositionMap::Run TrackPositionMap::run(const std::vector<Position3>& lap) const {
    Run result;
    // Going round twice, noting only the second time, gives the first point its predecessor.
    int previous = -1, peak = -1;
    size_t previousAt = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < lap.size(); ++i) {
            const int value = at(lap[i]);
            const bool noting = pass == 1;
            if (value == 0) {
                if (noting && result.zeros++ == 0) result.firstZero = i;
                continue;
            }
            if (previous / 16 == LAST_SECTOR && value / 16 == 0) {
                if (noting) result.wraps.push_back(previousAt);
                peak = value;
            } else if (peak - value >= ROUGHNESS) {
                // Small steps back add up: a kart going that way would be driving backwards.
                if (noting && result.falls++ == 0) result.firstFall = previousAt;
                peak = value;
            }
            peak = std::max(peak, value);
            previous = value;
            previousAt = i;
        }
    }
    return result;
}
