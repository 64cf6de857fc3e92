#include "tools/demodata/audio/Instrument.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/audio/Envelope.h"
#include "tools/demodata/audio/Filter.h"
#include "tools/demodata/audio/KarplusStrong.h"
#include "tools/demodata/audio/NoiseSource.h"
#include "tools/demodata/audio/Oscillator.h"
#include "tools/demodata/audio/SineTable.h"
#include "sys/Pi.h"

namespace demoaudio {

namespace {

// What every voice needs while it fills its buffer.
struct Voice {
    const Note& note;
    double rate;
    Envelope envelope;
    StereoBuffer out;
    NoiseSource noise;

    Voice(const Note& n, double sampleRate, Envelope e)
        : note(n), rate(sampleRate), envelope(e), out(size_t(e.length(float(n.held)) * sampleRate) + 1), noise(n.seed) {
    }

    double time(size_t i) const { return double(i) / rate; }
    // The envelope moves slowly beside the wave: it is read every STRIDE
    // frames and drawn straight between. Frames are asked for in order.
    float level(size_t i) {
        if (i >= m_to || i < m_from) {
            m_from = i - i % STRIDE;
            m_to = m_from + STRIDE;
            m_start = envelope.at(float(time(m_from)), float(note.held));
            m_step = (envelope.at(float(time(m_to)), float(note.held)) - m_start) / float(STRIDE);
        }
        return m_start + m_step * float(i - m_from);
    }
    void put(size_t i, float v) { out.left[i] = out.right[i] = v; }

private:
    static const size_t STRIDE = 16;
    size_t m_from = 1, m_to = 0;
    float m_start = 0.0f, m_step = 0.0f;
};

// exp(-t / seconds) sample by sample, by one multiplication each.
class Decay {
public:
    Decay(double seconds, double rate) : m_factor(std::exp(-1.0 / (seconds * rate))) {}
    double next() {
        const double v = m_value;
        m_value *= m_factor;
        return v;
    }

private:
    double m_value = 1.0;
    double m_factor;
};

// Frequency factor of a vibrato that fades in after `delay` seconds.
double vibrato(double t, double delay, double hz, double semitones) {
    const double fade = std::clamp((t - delay) / 0.3, 0.0, 1.0);
    return std::pow(2.0, semitones * fade * sine(hz * t) / 12.0);
}

// tanh's soft knee, near enough, at a fraction of its cost: a rational curve
// that meets ±1 with a flat slope at ±3. Amps distort every sample of a
// guitar or a bass, millions a piece.
float softClip(float x) {
    if (x <= -3.0f) return -1.0f;
    if (x >= 3.0f) return 1.0f;
    const float square = x * x;
    return x * (27.0f + square) / (27.0f + 9.0f * square);
}

// `x` pushed `amount` times into the curve, brought back so full scale stays full scale.
float drive(float x, float amount) { return softClip(amount * x) / softClip(amount); }

StereoBuffer electricPiano(const Note& n, double rate) {
    const float decay = std::clamp(float(1.6 * std::pow(220.0 / n.hz, 0.4)), 0.4f, 3.5f);
    Voice v(n, rate, {0.002f, decay, 0.0f, 0.25f});
    const bool tine = n.hz * 14.0 < rate * 0.4;
    double carrier = 0.0, modulator = 0.0, tinePhase = 0.0;
    Decay bark(0.4, rate), ping(0.012, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        const double index = n.velocity * (0.5 + (1.0 + 2.0 * n.tone) * bark.next());
        double s = sine(carrier + index * sine(modulator) / (2.0 * PI_DOUBLE));
        const double tineLevel = ping.next();
        if (tine) s += 0.2 * n.velocity * tineLevel * sine(tinePhase);
        carrier += n.hz / rate;
        modulator += n.hz / rate;
        tinePhase += n.hz * 14.0 / rate;
        const float a = v.level(i) * n.velocity * 0.45f;
        // The gentle auto-pan of the stage pianos.
        const double pan = 0.18 * sine(3.5 * t);
        v.out.left[i] = float(s * a * (1.0 + pan));
        v.out.right[i] = float(s * a * (1.0 - pan));
    }
    return std::move(v.out);
}

StereoBuffer clavinet(const Note& n, double rate) {
    Voice v(n, rate, {0.001f, 0.35f, 0.0f, 0.04f});
    Oscillator osc(Wave::Pulse);
    Filter filter(FilterMode::LowPass, rate);
    Decay snap(0.07, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        filter.set(n.hz + 500.0 + (2000.0 + 4000.0 * n.tone) * n.velocity * snap.next(), 0.45);
        v.put(i, filter.process(osc.next(n.hz, rate, 0.25)) * v.level(i) * n.velocity * 0.4f);
    }
    return std::move(v.out);
}

StereoBuffer pad(const Note& n, double rate) {
    Voice v(n, rate, {0.35f, 1.0f, 0.85f, 0.9f});
    const double detune = std::pow(2.0, 9.0 / 1200.0);
    Oscillator low(Wave::Saw, v.noise.uniform()), mid(Wave::Saw, v.noise.uniform()), high(Wave::Saw, v.noise.uniform());
    Filter left(FilterMode::LowPass, rate), right(FilterMode::LowPass, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        if (i % 16 == 0) {
            const double cutoff = n.hz * 2.0 + 500.0 + 2500.0 * n.tone + 300.0 * sine(0.3 * t);
            left.set(cutoff, 0.2);
            right.set(cutoff * 1.05, 0.2);
        }
        const float a = low.next(n.hz / detune, rate), b = mid.next(n.hz, rate), c = high.next(n.hz * detune, rate);
        const float level = v.level(i) * n.velocity * 0.2f;
        v.out.left[i] = left.process(a + 0.7f * b) * level;
        v.out.right[i] = right.process(c + 0.7f * b) * level;
    }
    return std::move(v.out);
}

StereoBuffer organ(const Note& n, double rate) {
    Voice v(n, rate, {0.006f, 1.0f, 1.0f, 0.06f});
    const double ratios[6] = {0.5, 1.0, 2.0, 3.0, 4.0, 6.0};
    const double levels[6] = {0.5, 1.0, 0.6, 0.35, 0.25, 0.15 * n.tone};
    double phases[6] = {0, 0, 0, 0, 0, 0};
    Decay click(0.2, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        const double percussion = 0.5 * click.next();
        double s = 0.0;
        for (int k = 0; k < 6; ++k) {
            if (n.hz * ratios[k] > rate * 0.45) continue;
            const double level = k == 3 ? levels[k] + percussion : levels[k];
            s += level * sine(phases[k]);
            phases[k] += n.hz * ratios[k] / rate;
        }
        const float a = v.level(i) * n.velocity * 0.15f;
        v.out.left[i] = float(s * a * (1.0 + 0.15 * sine(5.8 * t)));
        v.out.right[i] = float(s * a * (1.0 + 0.15 * sine(5.8 * t + 0.25)));
    }
    return std::move(v.out);
}

StereoBuffer synthBass(const Note& n, double rate) {
    Voice v(n, rate, {0.003f, 0.3f, 0.8f, 0.05f});
    Oscillator saw(Wave::Saw), sub(Wave::Pulse);
    Filter filter(FilterMode::LowPass, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        if (i % 8 == 0)
            filter.set(120.0 + n.hz * 1.5 + (400.0 + 3000.0 * n.tone) * n.velocity * std::exp(-t / 0.12), 0.35);
        const float s = filter.process(saw.next(n.hz, rate) + 0.5f * sub.next(n.hz * 0.5, rate));
        v.put(i, drive(s, 1.8f) * v.level(i) * n.velocity * 0.45f);
    }
    return std::move(v.out);
}

StereoBuffer subBass(const Note& n, double rate) {
    Voice v(n, rate, {0.006f, 0.4f, 0.85f, 0.08f});
    Oscillator osc(Wave::Sine);
    for (size_t i = 0; i < v.out.frames(); ++i)
        v.put(i, drive(osc.next(n.hz, rate), 1.2f + 2.0f * n.tone) * v.level(i) * n.velocity * 0.55f);
    return std::move(v.out);
}

// A string that rings on after its note ends, damped over `release` seconds.
StereoBuffer plucked(const Note& n, double rate, double decay, float release, float gain, float body) {
    Voice v(n, rate, {0.001f, 1.0f, 1.0f, release});
    const float brightness = n.tone * (0.6f + 0.4f * n.velocity);
    const std::vector<float> string = pluckedString(n.hz, v.out.frames(), decay, brightness, v.noise, rate);
    Oscillator fundamental(Wave::Sine);
    Decay thump(decay / 2.0, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        // A little pure fundamental gives low strings their weight.
        const float weight = body * fundamental.next(n.hz, rate) * float(thump.next());
        v.put(i, (string[i] + weight) * v.level(i) * n.velocity * gain);
    }
    return std::move(v.out);
}

StereoBuffer bell(const Note& n, double rate) {
    const float decay = std::clamp(float(1.0 * std::pow(880.0 / n.hz, 0.3)), 0.4f, 2.5f);
    Voice v(n, rate, {0.001f, decay, 0.0f, 0.5f});
    double carrier = 0.0, modulator = 0.0;
    const double ratio = 3.5 - n.tone; // 3.5 a glockenspiel, 2.5 a tubular chime
    Decay strike(0.18, rate);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double index = n.velocity * (0.4 + 2.2 * strike.next());
        const double s = sine(carrier + index * sine(modulator) / (2.0 * PI_DOUBLE));
        carrier += n.hz / rate;
        modulator += n.hz * ratio / rate;
        v.put(i, float(s) * v.level(i) * n.velocity * 0.35f);
    }
    return std::move(v.out);
}

StereoBuffer squareLead(const Note& n, double rate) {
    Voice v(n, rate, {0.01f, 0.3f, 0.8f, 0.08f});
    Oscillator osc(Wave::Pulse);
    Filter filter(FilterMode::LowPass, rate, n.hz * 3.0 + 1200.0 + 3000.0 * n.tone, 0.2);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        const float s = osc.next(n.hz * vibrato(t, 0.25, 5.5, 0.25), rate, 0.5 + 0.1 * sine(0.7 * t));
        v.put(i, filter.process(s) * v.level(i) * n.velocity * 0.3f);
    }
    return std::move(v.out);
}

StereoBuffer sawLead(const Note& n, double rate) {
    Voice v(n, rate, {0.008f, 0.5f, 0.85f, 0.1f});
    const double detune = std::pow(2.0, 6.0 / 1200.0);
    Oscillator a(Wave::Saw), b(Wave::Saw, 0.37);
    Filter filter(FilterMode::LowPass, rate, 2500.0 + 2000.0 * n.tone, 0.15);
    const float amount = 1.0f + 6.0f * n.tone;
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double hz = n.hz * vibrato(v.time(i), 0.3, 5.5, 0.3);
        const float s = 0.5f * (a.next(hz / detune, rate) + b.next(hz * detune, rate));
        v.put(i, filter.process(drive(s, amount)) * v.level(i) * n.velocity * 0.28f);
    }
    return std::move(v.out);
}

StereoBuffer powerGuitar(const Note& n, double rate) {
    Voice v(n, rate, {0.003f, 0.25f, 0.7f, 0.06f});
    Oscillator saw(Wave::Saw), pulse(Wave::Pulse), detuned(Wave::Saw, 0.5);
    Filter tone(FilterMode::LowPass, rate, 2200.0 + 1500.0 * n.tone, 0.1), low(FilterMode::HighPass, rate, 90.0, 0.0);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const float s = saw.next(n.hz, rate) + 0.5f * pulse.next(n.hz, rate, 0.3) + detuned.next(n.hz * 1.003, rate);
        v.put(i, low.process(tone.process(drive(0.4f * s, 8.0f))) * v.level(i) * n.velocity * 0.3f);
    }
    return std::move(v.out);
}

StereoBuffer flute(const Note& n, double rate) {
    Voice v(n, rate, {0.05f, 0.3f, 0.85f, 0.12f});
    Filter breath(FilterMode::BandPass, rate, n.hz * 2.0, 0.7);
    Decay chiff(0.05, rate);
    double phase = 0.0;
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        const double s = sine(phase) + (0.08 + 0.12 * n.tone) * sine(2.0 * phase) + 0.04 * sine(3.0 * phase);
        phase += n.hz * vibrato(t, 0.18, 5.0, 0.18) / rate;
        const float air = breath.process(v.noise.white()) * float(0.08 * (1.0 + 3.0 * chiff.next()));
        v.put(i, (float(s) + air) * v.level(i) * n.velocity * 0.32f);
    }
    return std::move(v.out);
}

StereoBuffer fiddle(const Note& n, double rate) {
    Voice v(n, rate, {0.06f, 0.4f, 0.85f, 0.12f});
    Oscillator saw(Wave::Saw);
    Filter first(FilterMode::BandPass, rate, 600.0, 0.6), second(FilterMode::BandPass, rate, 1800.0, 0.6),
        third(FilterMode::BandPass, rate, 3000.0, 0.5), top(FilterMode::LowPass, rate, 4500.0 + 2000.0 * n.tone, 0.0);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        const float s = saw.next(n.hz * vibrato(t, 0.12, 5.8, 0.3), rate) + 0.05f * v.noise.white();
        const float body = 0.8f * first.process(s) + 0.6f * second.process(s) + 0.3f * third.process(s) + 0.3f * s;
        v.put(i, top.process(body) * v.level(i) * n.velocity * 0.4f);
    }
    return std::move(v.out);
}

StereoBuffer harmonica(const Note& n, double rate) {
    Voice v(n, rate, {0.03f, 0.3f, 0.9f, 0.08f});
    Oscillator reed(Wave::Pulse);
    Filter tone(FilterMode::LowPass, rate, 2500.0 + 1500.0 * n.tone, 0.2),
        nose(FilterMode::BandPass, rate, 1100.0, 0.5);
    for (size_t i = 0; i < v.out.frames(); ++i) {
        const double t = v.time(i);
        // The player bends up into the note from below.
        const double bend = std::pow(2.0, -0.4 * std::exp(-t / 0.04) / 12.0);
        const float s = reed.next(n.hz * bend, rate, 0.3);
        const float tremolo = float(1.0 + 0.15 * sine(6.0 * t));
        v.put(i, (tone.process(s) + 0.6f * nose.process(s)) * tremolo * v.level(i) * n.velocity * 0.3f);
    }
    return std::move(v.out);
}

} // namespace

StereoBuffer renderNote(Instrument instrument, const Note& note, double sampleRate) {
    switch (instrument) {
    case Instrument::ElectricPiano:
        return electricPiano(note, sampleRate);
    case Instrument::Clavinet:
        return clavinet(note, sampleRate);
    case Instrument::Pad:
        return pad(note, sampleRate);
    case Instrument::Organ:
        return organ(note, sampleRate);
    case Instrument::SynthBass:
        return synthBass(note, sampleRate);
    case Instrument::SubBass:
        return subBass(note, sampleRate);
    case Instrument::PluckBass:
        return plucked(note, sampleRate, 1.2 + 0.8 * note.tone, 0.08f, 0.5f, 0.6f);
    case Instrument::Pluck:
        return plucked(note, sampleRate, 0.8 + 2.5 * note.tone, 0.3f, 0.6f, 0.0f);
    case Instrument::Bell:
        return bell(note, sampleRate);
    case Instrument::SquareLead:
        return squareLead(note, sampleRate);
    case Instrument::SawLead:
        return sawLead(note, sampleRate);
    case Instrument::PowerGuitar:
        return powerGuitar(note, sampleRate);
    case Instrument::Flute:
        return flute(note, sampleRate);
    case Instrument::Fiddle:
        return fiddle(note, sampleRate);
    case Instrument::Harmonica:
        return harmonica(note, sampleRate);
    }
    return StereoBuffer();
}

} // namespace demoaudio
