#include "tools/demodata/audio/Reverb.h"

namespace demoaudio {

namespace {

const int COMB_TUNING[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int ALL_PASS_TUNING[4] = {556, 441, 341, 225};
const int STEREO_SPREAD = 23;

} // namespace

Reverb::Reverb(double sampleRate, float size, float damping)
    : m_feedback(0.7f + 0.28f * size), m_damping(0.4f * damping) {
    const double scale = sampleRate / 44100.0;
    for (int side = 0; side < 2; ++side) {
        const int spread = side * STEREO_SPREAD;
        for (int i = 0; i < 8; ++i) m_combs[side][i].buffer.assign(size_t((COMB_TUNING[i] + spread) * scale), 0.0f);
        for (int i = 0; i < 4; ++i)
            m_allPasses[side][i].buffer.assign(size_t((ALL_PASS_TUNING[i] + spread) * scale), 0.0f);
    }
}

float Reverb::comb(Line& line, float in) {
    const float out = line.buffer[line.at];
    line.store = out * (1.0f - m_damping) + line.store * m_damping;
    line.buffer[line.at] = in + line.store * m_feedback;
    if (++line.at == line.buffer.size()) line.at = 0;
    return out;
}

float Reverb::allPass(Line& line, float in) {
    const float delayed = line.buffer[line.at];
    line.buffer[line.at] = in + delayed * 0.5f;
    if (++line.at == line.buffer.size()) line.at = 0;
    return delayed - in;
}

void Reverb::process(float in, float& outL, float& outR) {
    const float scaled = in * 0.015f;
    float out[2] = {0.0f, 0.0f};
    for (int side = 0; side < 2; ++side) {
        for (Line& line : m_combs[side]) out[side] += comb(line, scaled);
        for (Line& line : m_allPasses[side]) out[side] = allPass(line, out[side]);
    }
    outL = out[0];
    outR = out[1];
}

} // namespace demoaudio
