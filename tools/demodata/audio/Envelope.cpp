#include "tools/demodata/audio/Envelope.h"

#include <algorithm>
#include <cmath>

namespace demoaudio {

namespace {

float heldLevel(const Envelope& e, float t) {
    if (t < e.attack) return t / e.attack;
    return e.sustain + (1.0f - e.sustain) * std::exp(-(t - e.attack) / e.decay);
}

} // namespace

float Envelope::at(float t, float held) const {
    if (t < 0.0f) return 0.0f;
    if (t < held) return heldLevel(*this, t);
    const float r = (t - held) / release;
    if (r >= 1.0f) return 0.0f;
    const float fall = 1.0f - r; // cubic, so the tail reaches 0 without a step
    return heldLevel(*this, held) * fall * fall * fall;
}

} // namespace demoaudio
