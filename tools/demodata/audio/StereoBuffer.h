#pragma once
#include <cstddef>
#include <vector>

namespace demoaudio {

// Two channels of float samples (-1 to 1), kept apart so effects run on each.
struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    StereoBuffer() = default;
    explicit StereoBuffer(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t frames() const { return left.size(); }
};

// Runs a stateful stereo effect over a loop twice, in place, and keeps the
// second pass, so its state where the loop starts is the state where it
// ends: no seam. The effect has process(inL, inR, outL, outR).
template <class Effect>
void processLooped(Effect& effect, StereoBuffer& loop) {
    float left, right;
    for (size_t i = 0; i < loop.frames(); ++i) effect.process(loop.left[i], loop.right[i], left, right);
    for (size_t i = 0; i < loop.frames(); ++i) effect.process(loop.left[i], loop.right[i], loop.left[i], loop.right[i]);
}

} // namespace demoaudio
