#pragma once
#include <cmath>
#include <cstdint>

// A map cell coordinate (from the grid's low edge, in cells) held a little
// beyond the grid, so that far-off or broken (NaN) positions truncate to an
// int safely and still land on the border cell.
inline float nearGrid(float cell, int32_t cells) {
    return std::fmin(std::fmax(cell, -2.0f), static_cast<float>(cells) + 2.0f);
}
