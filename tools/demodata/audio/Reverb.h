#pragma once
#include <cstddef>
#include <vector>

namespace demoaudio {

// A stereo room: eight damped combs and four all-passes per side (the
// well-known Schroeder-Moorer layout). Hears one channel, as a room hears
// its players together; gives the wet signal only.
class Reverb {
public:
    // `size` 0 to 1 from a small room to a hall; `damping` 0 to 1 from bright
    // concrete to a soft, dull room.
    Reverb(double sampleRate, float size, float damping);

    void process(float in, float& outL, float& outR);

private:
    struct Line {
        std::vector<float> buffer;
        size_t at = 0;
        float store = 0.0f;
    };
    Line m_combs[2][8];
    Line m_allPasses[2][4];
    float m_feedback;
    float m_damping;

    float comb(Line& line, float in);
    static float allPass(Line& line, float in);
};

} // namespace demoaudio
