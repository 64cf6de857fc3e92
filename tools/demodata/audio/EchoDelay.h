#pragma once
#include <cstddef>
#include <vector>

#include "tools/demodata/audio/Filter.h"

namespace demoaudio {

// A ping-pong echo: each repeat crosses to the other side and loses some
// treble, like a sound thrown between two concrete walls. Hears one
// channel; gives the wet signal only.
class EchoDelay {
public:
    EchoDelay(double sampleRate, double seconds, float feedback);

    void process(float in, float& outL, float& outR);

private:
    std::vector<float> m_lines[2];
    size_t m_at = 0;
    float m_feedback;
    Filter m_tone;
};

} // namespace demoaudio
