#pragma once
#include <string>

#include "tools/demodata/audio/StereoBuffer.h"

namespace demoaudio {

// A stereo Ogg Vorbis file at the given variable-bit-rate quality (-0.1 to 1).
// Its length in samples is exactly the buffer's, so a looping player meets
// the first sample right after the last.
std::string oggVorbisBytes(const StereoBuffer& samples, int sampleRate, float quality);

} // namespace demoaudio
