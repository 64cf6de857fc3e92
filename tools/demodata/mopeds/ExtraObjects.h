#pragma once
#include <vector>

#include "tools/demodata/mopeds/MopedFiles.h"

// The objects every moped scene carries for the extras (magnet, mine, two
// rockets, the 16-ton weight, the soap bubble, two laser beams), the
// explosion with its three pictures, and the kart's shadow with its picture.
std::vector<MopedFile> extraObjectFiles();
