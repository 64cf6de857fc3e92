#include "tools/demodata/audio/EngineLoop.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/audio/Filter.h"
#include "tools/demodata/audio/NoiseSource.h"

namespace demoaudio {

namespace {

// A filter run round a loop twice, keeping the second pass, so the loop's
// start hears the ringing of its end.
void filterLooped(Filter& filter, std::vector<float>& loop) {
    for (float v : loop) filter.process(v);
    for (float& v : loop) v = filter.process(v);
}

std::vector<float> filtered(FilterMode mode, double hz, double resonance, const std::vector<float>& in, double rate) {
    Filter filter(mode, rate, hz, resonance);
    std::vector<float> out = in;
    filterLooped(filter, out);
    return out;
}

// The bangs into the pipe, wrapped round the loop: each a pressure pulse and
// a burst of port hiss. No bang is ever missed, so a long loop never stumbles
// on the same beat.
struct Bangs {
    std::vector<float> pressure, hiss;
};

Bangs bangs(const EngineVoice& voice, size_t frames, double rate) {
    NoiseSource noise(voice.seed);
    const size_t count = std::max<size_t>(1, size_t(std::lround(double(frames) / rate * voice.firingHz)));
    std::vector<double> gaps(count);
    double total = 0.0;
    for (double& gap : gaps) {
        gap = 1.0 + 0.05 * voice.roughness * noise.white();
        total += gap;
    }
    Bangs out{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
    const double pulseTime = 0.0006, hissTime = 0.006;
    const size_t width = size_t(0.025 * rate);
    // Half a gap in, so the seam falls between two bangs where the pipe is quiet.
    double at = 0.5 * gaps.back() / total * double(frames);
    for (double gap : gaps) {
        const float strength = 1.0f + 0.2f * voice.roughness * noise.white();
        const size_t first = size_t(at);
        for (size_t j = 0; j < width; ++j) {
            const double t = double(j) / rate;
            const size_t k = (first + j) % frames;
            out.pressure[k] += float(strength * t / pulseTime * std::exp(1.0 - t / pulseTime));
            out.hiss[k] += float(strength * noise.white() * std::exp(-t / hissTime));
        }
        at += gap / total * double(frames);
    }
    return out;
}

void normalise(std::vector<float>& loop, float peak) {
    float loudest = 1e-9f;
    for (float v : loop) loudest = std::max(loudest, std::fabs(v));
    for (float& v : loop) v *= peak / loudest;
}

} // namespace

std::vector<float> engineLoop(const EngineVoice& voice, double seconds, double sampleRate) {
    const size_t frames = size_t(std::lround(seconds * sampleRate));
    const Bangs b = bangs(voice, frames, sampleRate);
    const std::vector<float> pipe = filtered(FilterMode::BandPass, voice.pipeHz, 0.85, b.pressure, sampleRate);
    const std::vector<float> chamber = filtered(FilterMode::BandPass, voice.chamberHz, 0.7, b.pressure, sampleRate);
    const std::vector<float> rasp = filtered(FilterMode::BandPass, voice.raspHz, 0.4, b.hiss, sampleRate);
    std::vector<float> sound(frames);
    for (size_t i = 0; i < frames; ++i)
        sound[i] = 0.3f * b.pressure[i] + pipe[i] + 0.6f * chamber[i] + voice.rasp * rasp[i];
    normalise(sound, 1.0f);
    // Pushed into distortion the pulses grow the buzzing overtones of a small engine.
    for (float& v : sound) v = std::tanh(voice.drive * v);
    Filter silencer(FilterMode::LowPass, sampleRate, voice.muffle, 0.1),
        dc(FilterMode::HighPass, sampleRate, 25.0, 0.0);
    filterLooped(silencer, sound);
    filterLooped(dc, sound);
    normalise(sound, 0.85f);
    return sound;
}

} // namespace demoaudio
