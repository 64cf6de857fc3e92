#pragma once
#include <cstdint>

// One DWORD setting under the game's settings key, or the default when the
// key, the value or its type is missing.
uint32_t readRegistryDword(const char* subKey, const char* valueName, uint32_t defaultValue);
