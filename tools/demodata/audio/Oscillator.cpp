#include "tools/demodata/audio/Oscillator.h"
#include "tools/demodata/audio/SineTable.h"

#include <cmath>

namespace demoaudio {

namespace {

// The polynomial correction that rounds off a step at phase 0 of a cycle.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

float Oscillator::next(double hz, double sampleRate, double width) {
    const double dt = std::fmin(hz / sampleRate, 0.5);
    const double t = m_phase;
    double value = 0.0;
    switch (m_wave) {
    case Wave::Sine:
        value = sine(t);
        break;
    case Wave::Triangle:
        value = t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
        break;
    case Wave::Saw:
        value = 2.0 * t - 1.0 - polyBlep(t, dt);
        break;
    case Wave::Pulse: {
        value = t < width ? 1.0 : -1.0;
        value += polyBlep(t, dt);
        double falling = t - width;
        if (falling < 0.0) falling += 1.0;
        value -= polyBlep(falling, dt);
        value += 2.0 * width - 1.0; // no DC whatever the width
        break;
    }
    }
    m_phase += dt;
    if (m_phase >= 1.0) m_phase -= 1.0;
    return static_cast<float>(value);
}

} // namespace demoaudio
