#pragma once
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// Track 03, a park: paths, grass, trees, a pond, muddy slippery patches.
namespace Park {

std::vector<CentrelinePoint> centreline();
std::vector<TrackFile> files();

} // namespace Park
