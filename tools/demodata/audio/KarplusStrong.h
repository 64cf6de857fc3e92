#pragma once
#include <cstddef>
#include <vector>

#include "tools/demodata/audio/NoiseSource.h"

namespace demoaudio {

// A plucked string: a burst of noise circulating in a tuned, damped delay
// line, `frames` samples of it. `brightness` 0 to 1 colours the pluck;
// `decay` is the time to -60 dB.
std::vector<float> pluckedString(double hz, size_t frames, double decay, float brightness, NoiseSource& noise,
                                 double sampleRate);

} // namespace demoaudio
