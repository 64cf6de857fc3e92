#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Lists the chunks of an LWO2 file, one line each ("offset id size"), with
// the sub-chunks of SURF, ENVL and CLIP and the entries of BLOK indented.
// Sizes past the end are listed and stop the walk at that level.
std::string dumpLwo2(const std::vector<uint8_t>& file);
