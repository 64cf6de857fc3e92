#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"

class File;

// A track's position map as the race reads it: 512 x 512 bytes over the
// square x, z in -250..250, the first row at z = +250; 0 off the road, else
// rising along the lap from the finish line, a sector being value / 16.
class TrackPositionMap {
public:
    static constexpr int SIDE = 512;
    // Steps back smaller than this are read as the grid's roughness, not as driving backwards.
    static constexpr int ROUGHNESS = 8;

    // How the values run along a lap of points.
    struct Run {
        // Points that read 0, and the first of them.
        int zeros = 0;
        size_t firstZero = 0;
        // Drops from sector 15 to sector 0: the point before each.
        std::vector<size_t> wraps;
        // Any other step back beyond the roughness: the point before the first, and the count.
        int falls = 0;
        size_t firstFall = 0;
    };

    // False with the reason when the file is missing or not an 8-bit 512 x 512 PCX.
    bool load(File& files, const std::string& name, std::string& problem);
    uint8_t at(const Position3& p) const;
    // The values under the points of a closed lap, in order.
    Run run(const std::vector<Position3>& lap) const;

private:
    std::vector<uint8_t> m_bytes;
};
