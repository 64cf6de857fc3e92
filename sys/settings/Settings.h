#pragma once
#include <cstdint>
#include <string>

namespace sys {

// Read-only stand-in for the machine-wide registry: a typed text file
//   [Software\Quarnholt\Morvane]
//   Language=dword:00000409
// in $XDG_CONFIG_HOME/plimzor2/settings (else ~/.config/...). The variable
// PLIMZOR_SETTINGS names another file. Only DWORD values are accepted.
class Settings {
public:
    // The file the store reads; empty when no home folder is known.
    static std::string path();

    // True and `value` set when key\name holds a DWORD; a missing file, key or
    // value, or a value of another type, leaves `value` and returns false.
    static bool readDword(const char* key, const char* name, uint32_t& value);
};

} // namespace sys
