#pragma once
#include "sys/sound/AudioVector.h"

namespace sys {

// The listener's settings, handed over whole. The distance factor is metres
// per game unit and scales the Doppler effect; the roll-off factor applies
// to every 3D buffer.
struct AudioListenerParameters {
    AudioVector position;
    AudioVector velocity;
    AudioVector front;
    AudioVector top;
    float distanceFactor = 0.0f;
    float rolloffFactor = 0.0f;
    float dopplerFactor = 0.0f;
};

} // namespace sys
