#pragma once
#include <string>
#include <vector>

#include "tools/demodata/audio/StereoBuffer.h"

namespace demoaudio {

// RIFF WAVE files of 16-bit PCM; samples beyond -1 to 1 are clamped.
std::string monoWaveBytes(const std::vector<float>& samples, int sampleRate);
std::string stereoWaveBytes(const StereoBuffer& samples, int sampleRate);

} // namespace demoaudio
