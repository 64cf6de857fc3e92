#include "game/records/RecordChecksum.h"

#include <array>

#include "game/records/RecordBytes.h"

namespace {

constexpr std::array<uint32_t, 256> makeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int bit = 0; bit < 8; ++bit) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> TABLE = makeTable();

} // namespace

uint32_t recordChecksumTableEntry(uint8_t i) { return TABLE[i]; }

uint32_t recordChecksum(const void* data, uint32_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t c = 0xFFFFFFFFu;
    if (length >= 4) {
        uint32_t first = RecordBytes::getU32(bytes);
        for (uint32_t n = length / 4; n > 0; --n) {
            c ^= first;
            for (int k = 0; k < 4; ++k) c = (c >> 8) ^ TABLE[c & 0xFF];
        }
    }
    for (uint32_t i = 0; i < length % 4; ++i) c = (c >> 8) ^ TABLE[(bytes[i] ^ c) & 0xFF];
    return ~c;
}
