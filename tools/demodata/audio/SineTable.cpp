#include "tools/demodata/audio/SineTable.h"

#include <array>

#include "sys/Pi.h"

namespace demoaudio {

namespace {

std::array<float, SINE_STEPS + 1> build() {
    std::array<float, SINE_STEPS + 1> values;
    for (int i = 0; i <= SINE_STEPS; ++i) values[size_t(i)] = float(std::sin(2.0 * PI_DOUBLE * i / SINE_STEPS));
    return values;
}

// Filled before main runs; nothing plays a note before then.
const std::array<float, SINE_STEPS + 1> VALUES = build();

} // namespace

const float* const SINE_TABLE = VALUES.data();

} // namespace demoaudio
