#include "tools/demodata/audio/Drum.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/audio/Filter.h"
#include "tools/demodata/audio/NoiseSource.h"
#include "tools/demodata/audio/Oscillator.h"
#include "tools/demodata/audio/SineTable.h"

namespace demoaudio {

namespace {

struct Hit {
    double rate;
    std::vector<float> out;
    NoiseSource noise;
    Hit(double seconds, double sampleRate, uint32_t seed)
        : rate(sampleRate), out(size_t(seconds * sampleRate)), noise(seed) {}
    double time(size_t i) const { return double(i) / rate; }
};

// A pitched body whose pitch falls from `top` to `bottom`, with a click on top.
std::vector<float> sweptBody(double bottom, double top, double pitchTime, double decay, float click, uint32_t seed,
                             double rate) {
    Hit h(decay * 6.0, rate, seed);
    Filter clickTone(FilterMode::HighPass, rate, 2000.0, 0.0);
    double phase = 0.0;
    for (size_t i = 0; i < h.out.size(); ++i) {
        const double t = h.time(i);
        phase += (bottom + (top - bottom) * std::exp(-t / pitchTime)) / rate;
        const double body = sine(phase) * std::exp(-t / decay);
        const double tick = click * clickTone.process(h.noise.white()) * std::exp(-t / 0.002);
        h.out[i] = float(std::tanh(1.4 * (body + tick)));
    }
    return h.out;
}

// The six square waves a drum machine's cymbals are made from.
struct MetalBank {
    Oscillator squares[6] = {Oscillator(Wave::Pulse),      Oscillator(Wave::Pulse, 0.3), Oscillator(Wave::Pulse, 0.6),
                             Oscillator(Wave::Pulse, 0.1), Oscillator(Wave::Pulse, 0.8), Oscillator(Wave::Pulse, 0.45)};
    double scale;
    explicit MetalBank(double pitch) : scale(pitch) {}
    float next(double rate) {
        static const double HZ[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
        float s = 0.0f;
        for (int k = 0; k < 6; ++k) s += squares[k].next(HZ[k] * scale, rate);
        return s / 6.0f;
    }
};

// A cymbal of metal and noise above `lowest` Hz, dying away over `decay`.
std::vector<float> cymbal(double decay, double lowest, float metal, double pitch, uint32_t seed, double rate) {
    Hit h(decay * 5.0, rate, seed);
    MetalBank bank(pitch);
    Filter high(FilterMode::HighPass, rate, lowest, 0.1), band(FilterMode::BandPass, rate, lowest * 1.6, 0.2);
    for (size_t i = 0; i < h.out.size(); ++i) {
        const double t = h.time(i);
        const float s = metal * bank.next(rate) + (1.0f - metal) * h.noise.white();
        const float shaped = high.process(s) + 0.5f * band.process(s);
        h.out[i] = shaped * float(std::exp(-t / decay) * std::min(1.0, t / 0.0005));
    }
    return h.out;
}

// Filtered noise with an attack, for shakers, brushes and snare wires.
std::vector<float> noiseBurst(double attack, double decay, double lowCut, double highCut, uint32_t seed, double rate) {
    Hit h(attack + decay * 6.0, rate, seed);
    Filter high(FilterMode::HighPass, rate, lowCut, 0.0), low(FilterMode::LowPass, rate, highCut, 0.0);
    for (size_t i = 0; i < h.out.size(); ++i) {
        const double t = h.time(i);
        const double level = t < attack ? t / attack : std::exp(-(t - attack) / decay);
        h.out[i] = low.process(high.process(h.noise.white())) * float(level);
    }
    return h.out;
}

std::vector<float> snare(float tone, uint32_t seed, double rate) {
    std::vector<float> wires = noiseBurst(0.0005, 0.09 + 0.08 * tone, 1200.0, 9000.0, seed, rate);
    Oscillator low(Wave::Sine), high(Wave::Sine);
    for (size_t i = 0; i < wires.size(); ++i) {
        const double t = double(i) / rate;
        const double drop = 1.0 + 0.3 * std::exp(-t / 0.01);
        const double body = (low.next(185.0 * drop, rate) + 0.6 * high.next(330.0 * drop, rate)) * std::exp(-t / 0.05);
        wires[i] = float(std::tanh(1.5 * (0.6 * body + 1.4 * wires[i])));
    }
    return wires;
}

std::vector<float> clap(uint32_t seed, double rate) {
    Hit h(0.7, rate, seed);
    Filter band(FilterMode::BandPass, rate, 1100.0, 0.35);
    for (size_t i = 0; i < h.out.size(); ++i) {
        const double t = h.time(i);
        // Three hands a few milliseconds apart, then the room.
        double level = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double since = t - 0.009 * k;
            if (since >= 0.0 && since < 0.009) level = std::max(level, std::exp(-since / 0.003));
        }
        if (t >= 0.027) level = std::max(level, 0.8 * std::exp(-(t - 0.027) / 0.11));
        h.out[i] = band.process(h.noise.white()) * float(level) * 1.6f;
    }
    return h.out;
}

std::vector<float> tambourine(uint32_t seed, double rate) {
    std::vector<float> jingles = cymbal(0.12, 6000.0, 0.5, 2.4, seed, rate);
    std::vector<float> shake = noiseBurst(0.004, 0.05, 7000.0, 12000.0, seed + 7, rate);
    for (size_t i = 0; i < shake.size() && i < jingles.size(); ++i) jingles[i] += 0.5f * shake[i];
    return jingles;
}

std::vector<float> rim(uint32_t seed, double rate) {
    Hit h(0.12, rate, seed);
    Filter crack(FilterMode::BandPass, rate, 2500.0, 0.5);
    Oscillator wood(Wave::Sine), shell(Wave::Sine);
    for (size_t i = 0; i < h.out.size(); ++i) {
        const double t = h.time(i);
        h.out[i] =
            float(wood.next(1700.0, rate) * std::exp(-t / 0.008) + 0.6 * shell.next(500.0, rate) * std::exp(-t / 0.02) +
                  crack.process(h.noise.white()) * std::exp(-t / 0.004));
    }
    return h.out;
}

std::vector<float> shape(Drum drum, float tone, uint32_t seed, double rate) {
    switch (drum) {
    case Drum::Kick:
        return sweptBody(42.0 + 13.0 * tone, 160.0, 0.035, 0.5 - 0.3 * tone, 0.3f + 0.4f * tone, seed, rate);
    case Drum::Snare:
        return snare(tone, seed, rate);
    case Drum::Clap:
        return clap(seed, rate);
    case Drum::ClosedHat:
        return cymbal(0.03 + 0.03 * tone, 7000.0, 0.6f, 1.7, seed, rate);
    case Drum::OpenHat:
        return cymbal(0.25 + 0.15 * tone, 7000.0, 0.6f, 1.7, seed, rate);
    case Drum::Crash:
        return cymbal(1.2 + 0.6 * tone, 4000.0, 0.35f, 1.3, seed, rate);
    case Drum::Ride:
        return cymbal(0.9, 3500.0, 0.8f, 2.9, seed, rate);
    case Drum::Shaker:
        return noiseBurst(0.012, 0.05, 5000.0, 11000.0, seed, rate);
    case Drum::Tambourine:
        return tambourine(seed, rate);
    case Drum::Rim:
        return rim(seed, rate);
    case Drum::Brush:
        return noiseBurst(0.015, 0.1, 800.0, 6000.0, seed, rate);
    case Drum::TomLow:
        return sweptBody(95.0, 150.0, 0.06, 0.22, 0.2f, seed, rate);
    case Drum::TomHigh:
        return sweptBody(150.0, 230.0, 0.05, 0.18, 0.2f, seed, rate);
    }
    return {};
}

} // namespace

std::vector<float> renderDrum(Drum drum, float velocity, float tone, uint32_t seed, double sampleRate) {
    std::vector<float> hit = shape(drum, tone, seed, sampleRate);
    float peak = 1e-6f;
    for (float v : hit) peak = std::max(peak, std::fabs(v));
    for (float& v : hit) v *= velocity / peak;
    return hit;
}

} // namespace demoaudio
