#include "tools/demodata/tracks/RacingLines.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace RacingLines {
namespace {

constexpr float OFFSETS[PATH_COUNT] = {-0.4f, 0.24f, -0.08f, 0.4f, -0.24f, 0.08f};
// How far before and after a bend the line is pulled to its inside, and how
// much: longer after, since the karts drift out of a bend.
constexpr float BEND_BEFORE = 10.0f;
constexpr float BEND_AFTER = 25.0f;
constexpr float PULL = 0.35f;
// Bends tighter than this pull fully; the line runs this radius at top speed.
constexpr float FULL_PULL_RADIUS = 30.0f;
constexpr float MIN_SPEED = 0.15f;

// Signed turn per unit of length at s: below 0 a right-hand bend.
float curvature(const Centreline& line, float s) {
    const float h = 2.0f;
    Vec3 a = line.at(s - h).forward, b = line.at(s + h).forward;
    return std::atan2(cross(b, a).y, dot(a, b)) / (2.0f * h);
}

float meanCurvature(const Centreline& line, float s) {
    float sum = 0.0f;
    int n = 0;
    for (float d = -BEND_AFTER; d <= BEND_BEFORE; d += 2.0f, ++n) sum += curvature(line, s + d);
    return sum / static_cast<float>(n);
}

void appendFloat(std::string& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

} // namespace

float pathOffset(int path) { return OFFSETS[path]; }

std::vector<PathPoint> path(const Centreline& line, int path, float margin) {
    // The line finely along the centreline first, then points evenly along
    // the line itself: inside a bend it is shorter than the centreline.
    std::vector<PathPoint> fine;
    for (const Centreline::Frame& f : line.frames(1.0f)) {
        const float half = f.width * 0.5f;
        const float k = meanCurvature(line, f.s);
        const float bend = std::min(1.0f, std::fabs(k) * FULL_PULL_RADIUS);
        // Right-hand bends (k < 0) have their inside on the right.
        float lateral = OFFSETS[path] * half + (k < 0.0f ? 1.0f : -1.0f) * bend * PULL * half;
        const float limit = std::max(0.0f, half - margin);
        lateral = std::clamp(lateral, -limit, limit);
        const float turn = std::fabs(curvature(line, f.s));
        const float radius = turn > 1e-6f ? 1.0f / turn : 1e6f;
        const float speed = std::clamp(TOP_SPEED * radius / FULL_PULL_RADIUS, MIN_SPEED, TOP_SPEED);
        fine.push_back({f.across(lateral), speed});
    }
    float total = 0.0f;
    for (size_t i = 0; i < fine.size(); ++i) total += length(fine[(i + 1) % fine.size()].position - fine[i].position);
    const int count = std::max(3, static_cast<int>(std::lround(total / PATH_SPACING)));
    const float step = total / static_cast<float>(count);
    std::vector<PathPoint> out;
    float walked = 0.0f;
    for (size_t i = 0; i < fine.size() && static_cast<int>(out.size()) < count; ++i) {
        const PathPoint& a = fine[i];
        const PathPoint& b = fine[(i + 1) % fine.size()];
        const float piece = length(b.position - a.position);
        while (static_cast<int>(out.size()) < count && static_cast<float>(out.size()) * step <= walked + piece) {
            const float t = piece > 0.0f ? (static_cast<float>(out.size()) * step - walked) / piece : 0.0f;
            out.push_back({a.position + (b.position - a.position) * t, a.speed + (b.speed - a.speed) * t});
        }
        walked += piece;
    }
    return out;
}

std::vector<PathPoint> respawnPoints(const Centreline& line) {
    std::vector<PathPoint> out;
    // Half a unit off the middle and a unit on from each mark: never on the
    // road mesh's seams and corners, where a downward ray can slip through.
    for (const Centreline::Frame& f : line.frames(RESPAWN_SPACING))
        out.push_back({line.at(f.s + 1.0f).across(0.5f), TOP_SPEED});
    return out;
}

std::string recordBytes(const std::vector<PathPoint>& points) {
    std::string out;
    for (const PathPoint& p : points)
        for (float v : {p.position.x, p.position.y, p.position.z, p.speed}) appendFloat(out, v);
    return out;
}

std::string pathFile(int trackNumber, int path) {
    return "D:\\Vantorik\\ai_files\\track0" + std::to_string(trackNumber) + "\\ai" + std::to_string(path + 2) + ".dat";
}

std::string respawnFile(int trackNumber) {
    return "D:\\Vantorik\\ai_files\\track0" + std::to_string(trackNumber) + "\\ai_respawn.dat";
}

} // namespace RacingLines
