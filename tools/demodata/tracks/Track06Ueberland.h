#pragma once
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// Track 06, a country road: long curves, hills, fields, wind, fog.
namespace Ueberland {

std::vector<CentrelinePoint> centreline();
std::vector<TrackFile> files();

} // namespace Ueberland
