#pragma once
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// Track 01, a multi-storey car park: two levels joined by ramps, pillars, concrete, low light.
namespace Parkhaus {

std::vector<CentrelinePoint> centreline();
std::vector<TrackFile> files();

} // namespace Parkhaus
