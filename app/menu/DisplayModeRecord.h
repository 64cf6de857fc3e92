#pragma once
#include <cstdint>
#include <vector>

#include "sys/gfx/GfxTypes.h"

// One full-screen mode the options offer: the adapter's modes from 800 x 600
// up, each size once (the first refresh rate met), by width, then height.
struct DisplayModeRecord {
    static constexpr uint32_t MIN_WIDTH = 800;
    static constexpr uint32_t MIN_HEIGHT = 600;

    uint32_t width;
    uint32_t height;
    // Carried along; the game keeps the rate the device picks.
    uint32_t refreshRate;

    static std::vector<DisplayModeRecord> offered(const std::vector<sys::gfx::DisplayMode>& modes);
};
