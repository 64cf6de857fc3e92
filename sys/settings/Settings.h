#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

// Read-only stand-in for the machine-wide registry: a typed text file
//   [Software\Quarnholt\Morvane]
//   Language=dword:00000409
// in $XDG_CONFIG_HOME/plimzor2/settings (else ~/.config/...). The variable
// PLIMZOR_SETTINGS names another file. Values are DWORDs or quoted strings
//   HighscoreServer="scores.example.org"
// in which \\ and \" stand for a backslash and a quote.
class Settings {
public:
    // A settings file is a few lines; a longer one, or one that is no plain file, is not read.
    static constexpr size_t MAX_BYTES = 1 << 20;

    // The file the store reads; empty when no home folder is known.
    static std::string path();

    // True and `value` set when key\name holds a DWORD; a missing file, key or
    // value, or a value of another type, leaves `value` and returns false.
    static bool readDword(const char* key, const char* name, uint32_t& value);
    // The same for a quoted string.
    static bool readString(const char* key, const char* name, std::string& value);

private:
    // The raw text after "=" of key\name, trimmed.
    static bool findValue(const char* key, const char* name, std::string& text);
};

} // namespace sys
