#pragma once
#include <string>
#include <vector>

#include "tools/demodata/tracks/ByteGrid.h"
#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/Picture.h"

// The two top-down maps of a track over x, z in [-250, 250]: first row at
// z = +250, first column at x = -250.
namespace TrackMaps {

inline constexpr float WORLD_MIN = -250.0f;
inline constexpr float WORLD_MAX = 250.0f;
inline constexpr int POSITION_SIZE = 512;
inline constexpr int ILLUMINATION_SIZE = 1024;

// Value of a point s along the lap: 1 at the finish line rising to 255 just
// before it, so value / 16 counts sectors 0..15 and wraps at the line.
uint8_t positionValue(float s, float length);
// 0 off the road, else the value of the nearest centreline point, over the
// road's width plus `margin` on each side. The map sees no heights: where a
// lap passed over itself in plan, one place would read the other's value, so
// lay out laps that never cross themselves in plan.
ByteGrid positionMap(const Centreline& line, float margin = 3.0f);

// Pixel centre of a map cell in the world, and the cell of a world point.
float cellCentre(int cell, int size, bool isRow);
int cellOf(float coordinate, int size, bool isRow);

// "D:\Vantorik/mini_maps/posmap_track_0N.pcx", ".../illumination_track_0N.bmp".
std::string positionMapFile(int trackNumber);
std::string illuminationMapFile(int trackNumber);

} // namespace TrackMaps
