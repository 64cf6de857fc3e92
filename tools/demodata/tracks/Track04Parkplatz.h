#pragma once
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// Track 04, an open car park: parked cars and cones, painted lines, a stamper.
namespace Parkplatz {

std::vector<CentrelinePoint> centreline();
std::vector<TrackFile> files();

} // namespace Parkplatz
