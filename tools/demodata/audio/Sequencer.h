#pragma once
#include "tools/demodata/audio/Score.h"
#include "tools/demodata/audio/StereoBuffer.h"

namespace demoaudio {

// Plays a score into a stereo loop of exactly its length: notes, echoes and
// the room that ring past the last bar come back in at the first, so the
// loop joins without a seam. The mix is brought to about -16 dB RMS and its
// peaks are rounded off below -1 dB.
StereoBuffer renderScore(const Score& score, double sampleRate);

} // namespace demoaudio
