#include "tools/demodata/audio/EchoDelay.h"

#include <algorithm>

namespace demoaudio {

EchoDelay::EchoDelay(double sampleRate, double seconds, float feedback)
    : m_feedback(feedback), m_tone(FilterMode::LowPass, sampleRate, 3500.0, 0.0) {
    const size_t length = std::max<size_t>(1, size_t(sampleRate * seconds));
    m_lines[0].assign(length, 0.0f);
    m_lines[1].assign(length, 0.0f);
}

void EchoDelay::process(float in, float& outL, float& outR) {
    const float delayedL = m_lines[0][m_at];
    const float delayedR = m_lines[1][m_at];
    float toneL, toneR;
    m_tone.process(delayedR, delayedL, toneL, toneR);
    // The input enters on the left only, so the first repeat is heard on one side.
    m_lines[0][m_at] = in * 0.5f + toneL * m_feedback;
    m_lines[1][m_at] = toneR * m_feedback;
    if (++m_at == m_lines[0].size()) m_at = 0;
    outL = delayedL;
    outR = delayedR;
}

} // namespace demoaudio
