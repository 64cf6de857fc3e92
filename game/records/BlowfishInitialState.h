#pragma once
#include <cstdint>

// Blowfish's starting P-array and S-boxes, before any key is mixed in.
extern const uint32_t BLOWFISH_INITIAL_P[18];
extern const uint32_t BLOWFISH_INITIAL_S[4][256];
