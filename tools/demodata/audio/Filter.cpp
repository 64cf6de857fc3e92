#include "tools/demodata/audio/Filter.h"

#include <algorithm>
#include <cmath>

#include "sys/Pi.h"

namespace demoaudio {

Filter::Filter(FilterMode mode, double sampleRate, double cutoffHz, double resonance)
    : m_mode(mode), m_sampleRate(sampleRate) {
    set(cutoffHz, resonance);
}

void Filter::set(double cutoffHz, double resonance) {
    const double fc = std::clamp(cutoffHz, 10.0, m_sampleRate * 0.45);
    const double g = std::tan(PI_DOUBLE * fc / m_sampleRate);
    m_k = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.98);
    m_a1 = 1.0 / (1.0 + g * (g + m_k));
    m_a2 = g * m_a1;
    m_a3 = g * m_a2;
}

float Filter::processChannel(float in, double* state) {
    const double v3 = in - state[1];
    const double v1 = m_a1 * state[0] + m_a2 * v3;
    const double v2 = state[1] + m_a2 * state[0] + m_a3 * v3;
    state[0] = 2.0 * v1 - state[0];
    state[1] = 2.0 * v2 - state[1];
    switch (m_mode) {
    case FilterMode::LowPass:
        return static_cast<float>(v2);
    case FilterMode::BandPass:
        return static_cast<float>(m_k * v1);
    case FilterMode::HighPass:
        return static_cast<float>(in - m_k * v1 - v2);
    }
    return in;
}

float Filter::process(float in) { return processChannel(in, m_state[0]); }

void Filter::process(float inL, float inR, float& outL, float& outR) {
    outL = processChannel(inL, m_state[0]);
    outR = processChannel(inR, m_state[1]);
}

} // namespace demoaudio
