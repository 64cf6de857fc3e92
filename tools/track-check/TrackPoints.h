#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"

class File;

// Points of a computer path or of the respawn list: a file of 16-byte
// little-endian records x, y, z and a value (a path's speed), in lap order.
struct TrackPoints {
    bool found = false;
    uint32_t bytes = 0;
    std::vector<Position3> points;
    // Every record's four floats are finite.
    bool finite = true;

    static TrackPoints read(File& files, const std::string& name);
    // The shortest and the longest step from a point to the next, in file order.
    float shortestGap() const;
    float longestGap() const;
    // From the last point back to the first.
    float closingGap() const;
    // The point nearest to `p`; 0 for an empty list.
    size_t nearest(const Position3& p) const;
    // Seen from above, the points as a closed loop: its length, and how far
    // along it from the first point lies the place on it nearest to `p`.
    float loopLength() const;
    float alongLoop(const Position3& p) const;
};

float distance(const Position3& a, const Position3& b);
