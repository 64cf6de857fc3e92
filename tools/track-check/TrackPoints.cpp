#include "tools/track-check/TrackPoints.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/platform/archive/File.h"

namespace {

constexpr uint32_t RECORD = 16;
// Lists far beyond any lap are refused rather than read whole.
constexpr uint32_t MAX_BYTES = 16u << 20;

float littleEndianFloat(const uint8_t* p) {
    const uint32_t bits = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float flatDistance(const Position3& a, const Position3& b) { return std::hypot(a.x - b.x, a.z - b.z); }

template <typename Pick>
float gap(const std::vector<Position3>& points, Pick pick, float start) {
    float result = start;
    for (size_t i = 1; i < points.size(); ++i) result = pick(result, distance(points[i - 1], points[i]));
    return points.size() < 2 ? 0.0f : result;
}

} // namespace

float distance(const Position3& a, const Position3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TrackPoints TrackPoints::read(File& files, const std::string& name) {
    TrackPoints list;
    if (!files.open(name.c_str())) return list;
    list.found = true;
    list.bytes = files.getSize();
    uint8_t record[RECORD];
    for (uint32_t at = 0; at + RECORD <= std::min(list.bytes, MAX_BYTES); at += RECORD) {
        if (files.readFully(record, RECORD) < RECORD) break;
        const Position3 p{littleEndianFloat(record), littleEndianFloat(record + 4), littleEndianFloat(record + 8)};
        list.finite = list.finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) &&
                      std::isfinite(littleEndianFloat(record + 12));
        list.points.push_back(p);
    }
    files.close();
    return list;
}

float TrackPoints::shortestGap() const {
    return gap(
        points, [](float a, float b) { return std::min(a, b); }, INFINITY);
}

float TrackPoints::longestGap() const {
    return gap(
        points, [](float a, float b) { return std::max(a, b); }, 0.0f);
}

float TrackPoints::closingGap() const { return points.empty() ? 0.0f : distance(points.back(), points.front()); }

size_t TrackPoints::nearest(const Position3& p) const {
    size_t best = 0;
    for (size_t i = 1; i < points.size(); ++i)
        if (distance(p, points[i]) < distance(p, points[best])) best = i;
    return best;
}

float TrackPoints::loopLength() const {
    float length = 0.0f;
    for (size_t i = 0; i < points.size(); ++i) length += flatDistance(points[i], points[(i + 1) % points.size()]);
    return length;
}

float TrackPoints::alongLoop(const Position3& p) const {
    float best = INFINITY, bestAlong = 0.0f, along = 0.0f;
    for (size_t i = 0; i < points.size(); ++i) {
        const Position3 &a = points[i], &b = points[(i + 1) % points.size()];
        const float dx = b.x - a.x, dz = b.z - a.z, squared = dx * dx + dz * dz;
        const float t = squared > 0.0f ? std::clamp(((p.x - a.x) * dx + (p.z - a.z) * dz) / squared, 0.0f, 1.0f) : 0.0f;
        const float away = std::hypot(a.x + dx * t - p.x, a.z + dz * t - p.z), length = std::sqrt(squared);
        if (away < best) {
            best = away;
            bestAlong = along + t * length;
        }
        along += length;
    }
    return bestAlong;
}
