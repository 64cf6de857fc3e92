#pragma once

namespace demoaudio {

enum class Wave { Sine, Triangle, Saw, Pulse };

// A phase-accumulating oscillator; saw and pulse are band-limited at their
// edges so high notes do not alias into hiss.
class Oscillator {
public:
    explicit Oscillator(Wave wave, double phase = 0.0) : m_wave(wave), m_phase(phase) {}

    // The next sample at `hz`; `width` is the pulse's high share of a cycle.
    float next(double hz, double sampleRate, double width = 0.5);

private:
    Wave m_wave;
    double m_phase;
};

} // namespace demoaudio
