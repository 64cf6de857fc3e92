#pragma once
#include <cstdint>

// The part of the render target an item is viewed in, in the device's layout.
struct Viewport {
    uint32_t x = 0, y = 0, width = 512, height = 512;
    float minZ = 0.0f, maxZ = 1.0f;
};
