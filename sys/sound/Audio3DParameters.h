#pragma once
#include <cstdint>

#include "sys/sound/AudioVector.h"

namespace sys {

// How a buffer's position is read.
enum Audio3DMode : uint32_t {
    AUDIO_3D_NORMAL = 0,
    AUDIO_3D_HEAD_RELATIVE = 1,
    AUDIO_3D_DISABLE = 2,
};

// All 3D settings of one buffer, handed over whole; angles in degrees,
// the outside volume in hundredths of a decibel.
struct Audio3DParameters {
    AudioVector position;
    AudioVector velocity;
    uint32_t insideConeAngle = 0;
    uint32_t outsideConeAngle = 0;
    AudioVector coneOrientation;
    int32_t coneOutsideVolume = 0;
    float minDistance = 0.0f;
    float maxDistance = 0.0f;
    uint32_t mode = AUDIO_3D_NORMAL;
};

} // namespace sys
