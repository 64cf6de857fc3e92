#pragma once
#include <cstdint>

// Row conversions into 0xFFRRGGBB pixels from tightly packed sources.
namespace pixelrows {

inline uint32_t opaque(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

// Palette entries are blue, green, red, unused.
inline void fromPalette(uint32_t* out, const uint8_t* src, uint32_t count, const uint8_t* palette) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = palette + 4 * src[i];
        out[i] = opaque(e[2], e[1], e[0]);
    }
}

inline void fromBgr(uint32_t* out, const uint8_t* src, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i, src += 3) out[i] = opaque(src[2], src[1], src[0]);
}

inline void fromGrey(uint32_t* out, const uint8_t* src, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) out[i] = opaque(src[i], src[i], src[i]);
}

inline void fromRgb(uint32_t* out, const uint8_t* src, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i, src += 3) out[i] = opaque(src[0], src[1], src[2]);
}

} // namespace pixelrows
