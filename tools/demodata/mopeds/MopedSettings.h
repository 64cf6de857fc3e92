#pragma once
#include <array>
#include <vector>

#include "tools/demodata/mopeds/MopedFiles.h"

// The handling files "carsettings_0.dat" to "carsettings_4.dat": ten
// little-endian floats each, per physics step of 0.01 s: top speed, (boosted
// top speed, ignored), acceleration, (turn rate, ignored), drift weight,
// (unused), braking, rolling, fall step, fall factor.
std::array<float, 10> mopedSettings(int model);
std::vector<MopedFile> mopedSettingsFiles();
