#pragma once
#include <cstdint>

namespace demoaudio {

// A seeded xorshift generator: the same seed gives the same sound every run.
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}

    uint32_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    // Uniform in [-1, 1).
    float white() { return uniform() * 2.0f - 1.0f; }

private:
    uint32_t m_state;
};

} // namespace demoaudio
