#pragma once
#include <cstdint>
#include <string>

// One DWORD setting under the game's settings key, or the default when the
// key, the value or its type is missing.
uint32_t readRegistryDword(const char* subKey, const char* valueName, uint32_t defaultValue);
// The same for a string setting.
std::string readRegistryString(const char* subKey, const char* valueName, const std::string& defaultValue);
