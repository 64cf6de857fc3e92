#pragma once
#include <cstdint>
#include <cstring>

// Little-endian values inside a record's plain bytes.
namespace RecordBytes {

inline uint32_t getU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void putU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

inline int32_t getI32(const uint8_t* p) { return int32_t(getU32(p)); }
inline void putI32(uint8_t* p, int32_t v) { putU32(p, uint32_t(v)); }

inline float getFloat(const uint8_t* p) {
    uint32_t bits = getU32(p);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

inline void putFloat(uint8_t* p, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    putU32(p, bits);
}

} // namespace RecordBytes
