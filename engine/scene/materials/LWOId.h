#pragma once
#include <cstdint>

// Four characters as the big-endian word an LWO2 id reads as.
constexpr uint32_t lwoId(const char (&id)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(id[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(id[3]));
}
