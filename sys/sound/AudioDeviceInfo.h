#pragma once
#include <cstdint>
#include <cstring>
#include <string>

namespace sys {

// A 16-byte device identity; all zero names the default output.
struct Guid {
    uint8_t bytes[16] = {};

    bool operator==(const Guid& other) const { return std::memcmp(bytes, other.bytes, sizeof(bytes)) == 0; }
    bool operator!=(const Guid& other) const { return !(*this == other); }
    bool isZero() const { return *this == Guid(); }
};

// One output device as the enumeration reports it.
struct AudioDeviceInfo {
    Guid guid;
    std::string description;
    std::string module;
};

} // namespace sys
