#pragma once
#include <cstdint>
#include <string>

// A 24-bit BMP file, rows bottom first with their padding, every pixel `colour` (0xRRGGBB).
inline std::string bmp24(int32_t width, int32_t height, uint32_t colour) {
    std::string s;
    auto u16 = [&](uint32_t v) { s.push_back(char(v & 0xFF)), s.push_back(char(v >> 8)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(0x4D42), u32(0), u32(0), u32(54), u32(40), u32(width), u32(height), u16(1), u16(24);
    for (int i = 0; i < 6; ++i) u32(0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) s += {char(colour), char(colour >> 8), char(colour >> 16)};
        s.append(width % 4, '\0');
    }
    return s;
}
