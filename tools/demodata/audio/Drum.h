#pragma once
#include <cstdint>
#include <vector>

namespace demoaudio {

enum class Drum { Kick, Snare, Clap, ClosedHat, OpenHat, Crash, Ride, Shaker, Tambourine, Rim, Brush, TomLow, TomHigh };

// One hit, mono, peaking near `velocity`. `tone` 0 to 1 goes from deep and
// long (a drum machine's boom) to short and tight (a played kit); the seed
// varies the noise so repeated hits do not sound stamped.
std::vector<float> renderDrum(Drum drum, float velocity, float tone, uint32_t seed, double sampleRate);

} // namespace demoaudio
