#pragma once
#include <cstdint>
#include <cstring>

namespace sys::gfx {

// A float render or stage state, kept as its bits.
inline float stateFloat(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

// An ARGB colour state as GL's red, green, blue, alpha.
inline void unpackColor(uint32_t argb, float out[4]) {
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

} // namespace sys::gfx
