#pragma once
#include <string>
#include <vector>

#include "tools/demodata/tracks/Centreline.h"

// The computer drivers' six paths and the respawn points of a track, drawn
// from its centreline, and their file bytes: 16-byte little-endian records
// x, y, z, speed, closed loops in driving order starting at the finish line.
namespace RacingLines {

struct PathPoint {
    Vec3 position{};
    float speed = 0.29f;
};

inline constexpr int PATH_COUNT = 6;
// The driver aims at the point after the nearest: farther apart, it weaves less.
inline constexpr float PATH_SPACING = 5.0f;
inline constexpr float RESPAWN_SPACING = 8.0f;
inline constexpr float TOP_SPEED = 0.29f;

// Lateral offset of path k (0..5) as a fraction of the half width, right
// positive: six lines spread from left to right, none on the very middle.
float pathOffset(int path);
// Path k: its line, `PATH_SPACING` apart, pulled towards the inside of bends
// (the tighter the bend, the more), kept `margin` units inside the road edge.
std::vector<PathPoint> path(const Centreline& line, int path, float margin = 2.5f);
// Points near the middle of the road every `RESPAWN_SPACING` units, from the finish line.
std::vector<PathPoint> respawnPoints(const Centreline& line);
std::string recordBytes(const std::vector<PathPoint>& points);

// "D:\Vantorik\ai_files\track0N\ai<k + 2>.dat" and "...\ai_respawn.dat".
std::string pathFile(int trackNumber, int path);
std::string respawnFile(int trackNumber);

} // namespace RacingLines
