#pragma once
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// Track 02, a shopping centre: polished floor, shop fronts, a travelator.
namespace Einkaufszentrum {

std::vector<CentrelinePoint> centreline();
std::vector<TrackFile> files();

} // namespace Einkaufszentrum
