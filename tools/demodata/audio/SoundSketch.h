#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/demodata/audio/NoiseSource.h"
#include "tools/demodata/audio/Oscillator.h"

namespace demoaudio {

// A mono one-shot sound drawn layer by layer: tones, filtered noise, struck
// bodies and crackles, then shaped as a whole. Times are seconds from its start.
class SoundSketch {
public:
    SoundSketch(double seconds, double sampleRate, uint32_t seed);

    // A tone gliding from `fromHz` to `toHz`, struck at `level` and dying with
    // time constant `decay`; it fades out towards `length`.
    void tone(double start, double length, double fromHz, double toHz, float level, double decay,
              Wave wave = Wave::Sine);
    // Noise between `lowHz` and `highHz`, rising over `attack`, dying with time
    // constant `decay`; it fades out towards `length`.
    void noise(double start, double length, double lowHz, double highHz, float level, double attack, double decay);
    // Noise in a narrow band whose centre glides from `fromHz` to `toHz`, swelling and fading.
    void sweep(double start, double length, double fromHz, double toHz, float level);
    // A struck body ringing at its modes.
    struct Mode {
        double hz;
        double decay;
        float level;
    };
    void strike(double start, const std::vector<Mode>& modes, float level);
    // Random clicks, `perSecond` on average at first and thinning out, each a tick of noise in the band.
    void crackle(double start, double length, double perSecond, double lowHz, double highHz, float level);

    // A delayed, quieter copy of everything so far: a wall answering.
    void echo(double delay, float level);
    void drive(float amount);
    void lowPass(double hz);

    // Fades both ends (`fadeOut` seconds at the end) and brings the loudest sample to `peak`.
    std::vector<float> finish(float peak, double fadeOut = 0.02);

private:
    double m_rate;
    std::vector<float> m_samples;
    NoiseSource m_noise;

    size_t frameOf(double seconds) const;
    void fadeEnd(std::vector<float>& layer) const;
    void add(size_t at, const std::vector<float>& layer);
};

} // namespace demoaudio
