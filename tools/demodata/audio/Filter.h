#pragma once

namespace demoaudio {

enum class FilterMode { LowPass, BandPass, HighPass };

// A state-variable filter (trapezoidal, so it stays stable while its cutoff
// sweeps every sample).
class Filter {
public:
    Filter(FilterMode mode, double sampleRate, double cutoffHz = 1000.0, double resonance = 0.0);

    // Resonance 0 is flat, towards 1 it rings; the band-pass keeps unit peak gain.
    void set(double cutoffHz, double resonance);
    float process(float in);

    // The same filter with its state, as a stereo effect for processLooped.
    void process(float inL, float inR, float& outL, float& outR);

private:
    FilterMode m_mode;
    double m_sampleRate;
    double m_k = 2.0, m_a1 = 0.0, m_a2 = 0.0, m_a3 = 0.0;
    double m_state[2][2] = {{0.0, 0.0}, {0.0, 0.0}};

    float processChannel(float in, double* state);
};

} // namespace demoaudio
