#pragma once
#include <vector>

#include "tools/sound-check/Sound.h"

// The power in each of the lower half of `window` bins of the sound's middle
// from frame `at` on, through a Hann window; past the end counts as silence.
std::vector<double> framePower(const Sound& sound, size_t at, size_t window);
