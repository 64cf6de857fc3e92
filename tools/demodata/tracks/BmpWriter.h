#pragma once
#include <string>

#include "tools/demodata/tracks/Picture.h"

// A 24-bit uncompressed BMP with the classic 40-byte information header,
// rows bottom-up and padded to four bytes, as the engine's loader reads it.
std::string writeBmp(const Picture& picture);
