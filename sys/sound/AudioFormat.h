#pragma once
#include <cstdint>

namespace sys {

// Integer PCM as a sound file stores it: 8-bit unsigned or 16-bit signed.
struct AudioFormat {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;

    uint32_t blockAlign() const { return channels * (bitsPerSample / 8u); }
};

} // namespace sys
