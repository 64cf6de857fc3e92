#pragma once
#include <algorithm>
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

// Runs a stateful stereo effect over a loop in place, first over its last
// `warmUp` frames only, so its state where the loop starts is the state
// where it ends: no seam. Whatever came before those has died away by then.
// The effect has process(inL, inR, outL, outR).
template <class Effect>
void processLooped(Effect& effect, StereoBuffer& loop, size_t warmUp) {
    float left, right;
    for (size_t i = loop.frames() - std::min(warmUp, loop.frames()); i < loop.frames(); ++i)
        effect.process(loop.left[i], loop.right[i], left, right);
    for (size_t i = 0; i < loop.frames(); ++i) effect.process(loop.left[i], loop.right[i], loop.left[i], loop.right[i]);
}

// The same for an effect that hears one channel and answers in two, each
// answer handed to `use(frame, left, right)`. The effect has process(in, outL, outR).
template <class Effect, class Use>
void processLooped(Effect& effect, const std::vector<float>& loop, size_t warmUp, Use use) {
    float left, right;
    for (size_t i = loop.size() - std::min(warmUp, loop.size()); i < loop.size(); ++i)
        effect.process(loop[i], left, right);
    for (size_t i = 0; i < loop.size(); ++i) {
        effect.process(loop[i], left, right);
        use(i, left, right);
    }
}

} // namespace demoaudio
