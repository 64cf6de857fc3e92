#include "tools/demodata/audio/SoundSketch.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/audio/Filter.h"
#include "tools/demodata/audio/SineTable.h"
#include "sys/Pi.h"

namespace demoaudio {

SoundSketch::SoundSketch(double seconds, double sampleRate, uint32_t seed)
    : m_rate(sampleRate), m_samples(size_t(seconds * sampleRate), 0.0f), m_noise(seed) {}

size_t SoundSketch::frameOf(double seconds) const { return size_t(std::max(0.0, seconds) * m_rate); }

void SoundSketch::fadeEnd(std::vector<float>& layer) const {
    // A layer cut off while still sounding clicks: its last moments die away
    // along a half cosine instead, up to 80 ms, never more than a third of it.
    const size_t fade = std::min(frameOf(0.08), layer.size() / 3);
    for (size_t k = 0; k < fade; ++k)
        layer[layer.size() - 1 - k] *= 0.5f - 0.5f * float(std::cos(PI_DOUBLE * double(k) / double(fade)));
}

void SoundSketch::add(size_t at, const std::vector<float>& layer) {
    for (size_t i = 0; i < layer.size() && at + i < m_samples.size(); ++i) m_samples[at + i] += layer[i];
}

void SoundSketch::tone(double start, double length, double fromHz, double toHz, float level, double decay, Wave wave) {
    std::vector<float> layer(frameOf(length));
    Oscillator osc(wave);
    for (size_t i = 0; i < layer.size(); ++i) {
        const double t = double(i) / m_rate;
        const double hz = fromHz * std::pow(toHz / fromHz, t / length);
        layer[i] = osc.next(hz, m_rate) * level * float(std::min(1.0, t / 0.002) * std::exp(-t / decay));
    }
    fadeEnd(layer);
    add(frameOf(start), layer);
}

void SoundSketch::noise(double start, double length, double lowHz, double highHz, float level, double attack,
                        double decay) {
    std::vector<float> layer(frameOf(length));
    Filter high(FilterMode::HighPass, m_rate, lowHz, 0.0), low(FilterMode::LowPass, m_rate, highHz, 0.0);
    for (size_t i = 0; i < layer.size(); ++i) {
        const double t = double(i) / m_rate;
        const double shape = t < attack ? t / attack : std::exp(-(t - attack) / decay);
        layer[i] = low.process(high.process(m_noise.white())) * level * float(shape);
    }
    fadeEnd(layer);
    add(frameOf(start), layer);
}

void SoundSketch::sweep(double start, double length, double fromHz, double toHz, float level) {
    std::vector<float> layer(frameOf(length));
    Filter band(FilterMode::BandPass, m_rate);
    for (size_t i = 0; i < layer.size(); ++i) {
        const double along = double(i) / double(layer.size());
        if (i % 16 == 0) band.set(fromHz * std::pow(toHz / fromHz, along), 0.8);
        layer[i] = band.process(m_noise.white()) * level * sine(0.5 * along);
    }
    add(frameOf(start), layer);
}

void SoundSketch::strike(double start, const std::vector<Mode>& modes, float level) {
    double longest = 0.0;
    for (const Mode& m : modes) longest = std::max(longest, m.decay);
    std::vector<float> layer(frameOf(longest * 7.0));
    for (const Mode& m : modes) {
        const double phase = m_noise.uniform();
        for (size_t i = 0; i < layer.size(); ++i) {
            const double t = double(i) / m_rate;
            layer[i] +=
                level * m.level * sine(phase + m.hz * t) * float(std::exp(-t / m.decay) * std::min(1.0, t / 0.0005));
        }
    }
    add(frameOf(start), layer);
}

void SoundSketch::crackle(double start, double length, double perSecond, double lowHz, double highHz, float level) {
    std::vector<float> clicks(frameOf(length));
    const double chance = perSecond / m_rate;
    double tail = 0.0;
    for (size_t i = 0; i < clicks.size(); ++i) {
        // The clicks thin out and soften towards the end instead of stopping dead.
        const double remaining = 1.0 - double(i) / double(clicks.size());
        if (m_noise.uniform() < chance * remaining)
            tail = level * remaining * remaining * (0.3 + 0.7 * m_noise.uniform());
        clicks[i] = float(tail) * m_noise.white();
        tail *= 0.995; // each click dies within a few milliseconds
    }
    Filter high(FilterMode::HighPass, m_rate, lowHz, 0.0), low(FilterMode::LowPass, m_rate, highHz, 0.0);
    for (float& v : clicks) v = low.process(high.process(v));
    add(frameOf(start), clicks);
}

void SoundSketch::echo(double delay, float level) {
    const size_t offset = frameOf(delay);
    for (size_t i = m_samples.size(); i-- > offset;) m_samples[i] += level * m_samples[i - offset];
}

void SoundSketch::drive(float amount) {
    for (float& v : m_samples) v = std::tanh(amount * v) / std::tanh(amount);
}

void SoundSketch::lowPass(double hz) {
    Filter low(FilterMode::LowPass, m_rate, hz, 0.0);
    for (float& v : m_samples) v = low.process(v);
}

std::vector<float> SoundSketch::finish(float peak, double fadeOut) {
    Filter dc(FilterMode::HighPass, m_rate, 20.0, 0.0);
    float loudest = 1e-9f;
    for (float& v : m_samples) {
        v = dc.process(v);
        loudest = std::max(loudest, std::fabs(v));
    }
    const size_t fadeIn = frameOf(0.001), fade = std::min(m_samples.size(), frameOf(fadeOut));
    for (size_t i = 0; i < m_samples.size(); ++i) {
        float gain = peak / loudest;
        const size_t left = m_samples.size() - 1 - i;
        if (left < fade) gain *= float(left) / float(fade);
        if (i < fadeIn) gain *= float(i) / float(fadeIn);
        m_samples[i] *= gain;
    }
    return m_samples;
}

} // namespace demoaudio
