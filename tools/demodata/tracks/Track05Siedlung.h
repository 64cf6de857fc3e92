#pragma once
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// Track 05, a housing estate: streets, houses, gardens, speed bumps, alleys.
namespace Siedlung {

std::vector<CentrelinePoint> centreline();
std::vector<TrackFile> files();

} // namespace Siedlung
