#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sys::gfx {

class Surface;

// A 32-bit surface's pixels as tightly packed RGB rows, top row first.
struct RgbImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;
};

// Reads a lockable 32-bit surface (a back buffer or a render target) back; false when it cannot be locked.
bool readSurface(Surface& surface, RgbImage& out);
bool writePng(const RgbImage& image, const std::string& path);

} // namespace sys::gfx
