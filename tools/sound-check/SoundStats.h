#pragma once
#include <vector>

#include "tools/sound-check/Sound.h"

// What a listener hears in a sound, measured over the whole of it: where its
// energy sits, for stereo how wide the mix is, and the faults a mix must not
// have: clipping, an offset from zero, clicks at its ends or where it loops.
struct SoundStats {
    double seconds = 0.0;
    double centroidHz = 0.0;   // the spectrum's centre of mass
    double shareAbove1k = 0.0; // share of the energy above 1 kHz
    double rolloff95Hz = 0.0;  // 95 % of the energy lies below it
    double correlation = 1.0;  // left against right; 1 for mono
    double peak = 0.0;         // the loudest sample, 1 full scale
    int clipped = 0;           // samples at full scale
    double offset = 0.0;       // the mean: an offset from zero thumps and wastes headroom
    // The end samples: a one-shot that starts or stops off zero clicks.
    double first = 0.0, last = 0.0;
    // The step from the last sample to the first against the steps only one
    // in a hundred inside the sound beats: above 1 a loop clicks where it joins.
    double seam = 0.0;
};

// `left` and `right` are the channels (`right` empty for mono), -1 to 1.
SoundStats soundStats(const std::vector<float>& left, const std::vector<float>& right, double sampleRate);
SoundStats soundStats(const Sound& sound);
