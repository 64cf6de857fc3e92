#pragma once

namespace demoaudio {

// Attack, decay, sustain and release over a note whose held time is known
// beforehand, as the sequencer knows it.
struct Envelope {
    float attack = 0.005f; // seconds to full level
    float decay = 0.2f;    // time constant towards the sustain level
    float sustain = 1.0f;  // level while held
    float release = 0.1f;  // seconds from the note's end to silence

    // Level at `t` seconds into a note held for `held` seconds; 0 from held + release on.
    float at(float t, float held) const;
    float length(float held) const { return held + release; }
};

} // namespace demoaudio
