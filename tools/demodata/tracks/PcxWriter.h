#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "tools/demodata/tracks/ByteGrid.h"

// An 8-bit run-length PCX (version 5, one plane, even line length) with its
// 256-colour palette after the 0x0C marker; index i is grey i when no
// palette is given.
std::string writePcx(const ByteGrid& grid);
std::string writePcx(const ByteGrid& grid, const std::array<uint8_t, 768>& palette);
