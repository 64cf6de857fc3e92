#include "tools/demodata/audio/Sequencer.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "tools/demodata/audio/EchoDelay.h"
#include "tools/demodata/audio/Filter.h"
#include "tools/demodata/audio/NoiseSource.h"
#include "tools/demodata/audio/Pattern.h"
#include "tools/demodata/audio/Reverb.h"
#include "sys/Pi.h"

namespace demoaudio {

namespace {

const float TARGET_RMS = 0.15f;
// Peaks are rounded off from the knee towards the ceiling, -2 dB, which
// leaves the Vorbis encoder room to overshoot without clipping, wide mixes too.
const float LIMIT_KNEE = 0.6f;
const float CEILING = 0.79f;
// Seconds after which the pieces' rooms (3.5 s to -60 dB at room 0.85) and
// echoes have died away below hearing: that much of a loop's end is enough
// to start its effects in the state its end leaves them.
const double EFFECT_MEMORY = 8.0;

// Registers (midi notes): bass lines from A1 up, chords around D4, guitar
// shapes from the low E string; a part's octave moves them.
const int BASS_LOWEST = 33;
const int CHORD_CENTRE = 62;
const int GUITAR_LOWEST = 40;

struct ChordSpan {
    double start; // bars
    double end;
    Chord chord;
};

// One sound of one part, in seconds from the loop's start.
struct Event {
    double start;
    double held;
    float velocity;
    int midi;
    uint32_t seed;
};

std::vector<ChordSpan> chordTimeline(const Score& score) {
    std::vector<ChordSpan> spans;
    int bar = 0;
    for (const Section& section : score.sections) {
        std::istringstream in(section.chords);
        std::vector<std::string> names;
        for (std::string name; in >> name;) names.push_back(name);
        for (int b = 0; b < section.bars && !names.empty(); ++b) {
            const std::string& name = names[size_t(b) % names.size()];
            const size_t slash = name.find('/');
            if (slash == std::string::npos) {
                spans.push_back({double(bar + b), double(bar + b + 1), parseChord(name)});
                continue;
            }
            spans.push_back({double(bar + b), bar + b + 0.5, parseChord(name.substr(0, slash))});
            spans.push_back({bar + b + 0.5, double(bar + b + 1), parseChord(name.substr(slash + 1))});
        }
        bar += section.bars;
    }
    return spans;
}

const Chord& chordAt(const std::vector<ChordSpan>& spans, double bar) {
    static const Chord TONIC = parseChord("I");
    for (const ChordSpan& span : spans)
        if (bar >= span.start - 1e-6 && bar < span.end - 1e-6) return span.chord;
    return TONIC;
}

// Bars as played: the second cell of every pair on the swing grid comes late.
double swung(const Score& score, double bars) {
    if (score.swing <= 0.0f) return bars;
    const double pairs = bars * score.swingGrid / 2.0;
    const double pair = std::floor(pairs);
    const double within = pairs - pair;
    const double middle = 0.5 + 0.5 * score.swing;
    const double played = within < 0.5 ? within * 2.0 * middle : middle + (within - 0.5) * 2.0 * (1.0 - middle);
    return (pair + played) * 2.0 / score.swingGrid;
}

double hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// The player's hand is seeded by the piece's name (FNV-1a), the same on every machine.
uint32_t seedOf(const std::string& name) {
    uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ uint8_t(c)) * 16777619u;
    return h;
}

// The notes a symbol of a pitched part stands for at this place.
std::vector<int> pitchesOf(const Score& score, const Part& part, const Step& step, const Chord& chord,
                           std::vector<int>& lastVoicing) {
    const int digit = step.symbol >= '1' && step.symbol <= '9' ? step.symbol - '0' : 1;
    const int shift = step.accidental + 12 * (step.octave + part.octave);
    switch (part.role) {
    case Role::Melody:
        return {score.tonic + degreeSemitones(score.mode, digit) + shift};
    case Role::ChordTones: {
        const int rootClass = (score.tonic + chord.root) % 12;
        const int root = BASS_LOWEST + (rootClass - BASS_LOWEST % 12 + 12) % 12;
        return {root + chordTone(chord, digit) + shift};
    }
    case Role::Chords:
        if (part.voicing == Voicing::Power) return powerVoicing(chord, score.tonic, GUITAR_LOWEST + 12 * part.octave);
        if (part.voicing == Voicing::Guitar) return guitarVoicing(chord, score.tonic, GUITAR_LOWEST + 12 * part.octave);
        lastVoicing = voiceChord(chord, score.tonic, CHORD_CENTRE + 12 * part.octave, lastVoicing);
        return lastVoicing;
    case Role::Drums:
        break;
    }
    return {};
}

std::vector<std::vector<Event>> performance(const Score& score) {
    const std::vector<ChordSpan> chords = chordTimeline(score);
    std::vector<std::vector<Event>> events(score.parts.size());
    std::vector<std::vector<int>> voicings(score.parts.size());
    NoiseSource human(seedOf(score.name));
    const double bar = score.barSeconds();
    int sectionStart = 0;
    for (const Section& section : score.sections) {
        for (const Entry& entry : section.entries) {
            const Part& part = score.parts.at(size_t(entry.part));
            for (const Step& step : parsePattern(entry.pattern, section.bars)) {
                const double at = sectionStart + step.start;
                const double start = swung(score, at) * bar;
                const double held = swung(score, at + step.length) * bar - start;
                const bool onBeat = std::fabs(step.start * 4.0 - std::round(step.start * 4.0)) < 1e-6;
                float velocity = step.velocity * entry.gain * (0.94f + 0.12f * human.uniform());
                if (part.role == Role::Drums) {
                    events[size_t(entry.part)].push_back(
                        {start + 0.002 * human.white(), held, velocity, 0, human.next()});
                    continue;
                }
                if (!onBeat) velocity *= 0.92f;
                const double late = 0.005 * human.white();
                const std::vector<int> pitches =
                    pitchesOf(score, part, step, chordAt(chords, at), voicings[size_t(entry.part)]);
                // An up-strum on the off-beat runs from the top string down, a little softer.
                const bool up = part.strum > 0.0 && !onBeat;
                for (size_t k = 0; k < pitches.size(); ++k) {
                    const size_t string = up ? pitches.size() - 1 - k : k;
                    const double delay = part.strum * double(k);
                    events[size_t(entry.part)].push_back({start + late + delay, std::max(0.02, held - delay),
                                                          up ? velocity * 0.85f : velocity, pitches[string],
                                                          human.next()});
                }
            }
        }
        sectionStart += section.bars;
    }
    return events;
}

// Where a part's sounds go: its place between the speakers, its sends to
// the echo and the room, and how far the kick pushes it down. A part off the
// middle also reaches the far speaker a little late, as from a player
// standing to that side: the mix gets width, not just loudness apart.
struct Channel {
    float left, right, roomLeft, roomRight, echoLeft, echoRight, duck;
    long delayLeft, delayRight; // frames
};

const double FAR_SIDE_DELAY = 0.018; // seconds, for a part panned hard to one side

Channel channelOf(const Part& part, double rate) {
    const float pan = std::clamp(part.pan, -1.0f, 1.0f);
    const double angle = (pan + 1.0) * PI_DOUBLE / 4.0;
    const float left = part.gain * float(std::cos(angle) * M_SQRT2),
                right = part.gain * float(std::sin(angle) * M_SQRT2);
    const long late = std::lround(std::fabs(pan) * FAR_SIDE_DELAY * rate);
    return {left, right, left * part.reverb, right * part.reverb, left * part.echo, right * part.echo, part.duck,
            pan > 0.0f ? late : 0, pan < 0.0f ? late : 0};
}

// The mix so far: every part feeds all three. The room and the echo hear
// both sides as one, so their sends are kept as one channel each; a piece
// with no part sent to the echo has none.
struct Buses {
    StereoBuffer dry;
    std::vector<float> room, echo;
    std::vector<float> dips; // 0 to 1 after every kick, for the parts that duck; empty when none do

    Buses(size_t frames, bool echoes) : dry(frames), room(frames, 0.0f), echo(echoes ? frames : 0, 0.0f) {}

    void add(const Channel& channel, const StereoBuffer& sound, double start, float gain, double rate) {
        const long frames = long(dry.frames());
        const bool ducks = channel.duck > 0.0f && !dips.empty();
        const long first = long(std::lround(start * rate));
        for (int side = 0; side < 2; ++side) {
            long at = (first + (side ? channel.delayRight : channel.delayLeft)) % frames;
            if (at < 0) at += frames;
            const std::vector<float>& in = side ? sound.right : sound.left;
            const float dryGain = side ? channel.right : channel.left, roomGain = side ? channel.roomRight : channel.roomLeft,
                        echoGain = side ? channel.echoRight : channel.echoLeft;
            std::vector<float>& dryOut = side ? dry.right : dry.left;
            for (size_t i = 0; i < sound.frames(); ++i) {
                const float v = in[i] * (ducks ? gain * (1.0f - channel.duck * dips[size_t(at)]) : gain);
                dryOut[size_t(at)] += v * dryGain;
                room[size_t(at)] += v * roomGain;
                if (!echo.empty()) echo[size_t(at)] += v * echoGain;
                if (++at == frames) at = 0;
            }
        }
    }
};

// The part's sounds into the buses. Drum hits come from a few takes made
// once, so a thousand hi-hats cost four.
void playPart(const Part& part, const std::vector<Event>& events, Buses& buses, double rate) {
    const Channel channel = channelOf(part, rate);
    if (part.role == Role::Drums) {
        const uint32_t takes = 4;
        std::vector<StereoBuffer> hits(takes);
        for (uint32_t k = 0; k < takes; ++k) {
            hits[k].left = renderDrum(part.drum, 1.0f, part.tone, 1000 + k * 7919, rate);
            hits[k].right = hits[k].left;
        }
        for (const Event& e : events) buses.add(channel, hits[e.seed % takes], e.start, e.velocity, rate);
        return;
    }
    for (const Event& e : events) {
        Note note;
        note.hz = hz(e.midi);
        note.velocity = e.velocity;
        note.held = e.held;
        note.tone = part.tone;
        note.seed = e.seed;
        buses.add(channel, renderNote(part.instrument, note, rate), e.start, 1.0f, rate);
    }
}

// The dip after every kick that pumping parts follow, as in dance music.
std::vector<float> kickDips(std::vector<double> kicks, size_t frames, double rate) {
    std::vector<float> dips(frames, 0.0f);
    if (kicks.empty()) return dips;
    std::sort(kicks.begin(), kicks.end());
    const double length = double(frames) / rate;
    size_t next = 0;
    double last = kicks.back() - length;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        while (next < kicks.size() && kicks[next] <= t) last = kicks[next++];
        const double since = t - last;
        dips[i] = float(since < 0.005 ? since / 0.005 : std::exp(-(since - 0.005) / 0.12));
    }
    return dips;
}

void master(StereoBuffer& mix) {
    double sum = 0.0;
    for (size_t i = 0; i < mix.frames(); ++i) sum += mix.left[i] * mix.left[i] + mix.right[i] * mix.right[i];
    const double rms = std::sqrt(sum / double(2 * std::max<size_t>(1, mix.frames())));
    const float gain = rms > 0.0 ? float(TARGET_RMS / rms) : 1.0f;
    const float room = CEILING - LIMIT_KNEE;
    for (std::vector<float>* side : {&mix.left, &mix.right})
        for (float& v : *side) {
            const float x = v * gain;
            const float size = std::fabs(x);
            v = size > LIMIT_KNEE ? std::copysign(LIMIT_KNEE + room * std::tanh((size - LIMIT_KNEE) / room), x) : x;
        }
}

} // namespace

StereoBuffer renderScore(const Score& score, double sampleRate) {
    const size_t frames = size_t(std::lround(score.bars() * score.barSeconds() * sampleRate));
    const std::vector<std::vector<Event>> events = performance(score);
    bool ducking = false, echoes = false;
    for (const Part& part : score.parts) {
        ducking = ducking || part.duck > 0.0f;
        echoes = echoes || part.echo > 0.0f;
    }
    Buses buses(frames, echoes);
    std::vector<double> kicks;
    for (size_t p = 0; p < score.parts.size(); ++p) {
        if (score.parts[p].role == Role::Drums && score.parts[p].drum == Drum::Kick)
            for (const Event& e : events[p]) kicks.push_back(e.start);
    }
    if (ducking) buses.dips = kickDips(kicks, frames, sampleRate);
    for (size_t p = 0; p < score.parts.size(); ++p) playPart(score.parts[p], events[p], buses, sampleRate);

    StereoBuffer& dry = buses.dry;
    const size_t warmUp = size_t(EFFECT_MEMORY * sampleRate);
    EchoDelay echo(sampleRate, score.echoBeats * 60.0 / score.bpm, score.echoFeedback);
    processLooped(echo, buses.echo, warmUp, [&](size_t i, float left, float right) {
        dry.left[i] += 0.7f * left;
        dry.right[i] += 0.7f * right;
        buses.room[i] += 0.2f * (left + right);
    });
    Reverb reverb(sampleRate, score.room, score.damping);
    const float wet = score.reverbLevel;
    processLooped(reverb, buses.room, warmUp, [&](size_t i, float left, float right) {
        dry.left[i] += wet * left;
        dry.right[i] += wet * right;
    });
    // Nothing below the bass guitar's lowest string is music.
    Filter rumble(FilterMode::HighPass, sampleRate, 28.0, 0.0);
    processLooped(rumble, dry, warmUp);
    master(buses.dry);
    return std::move(buses.dry);
}

} // namespace demoaudio
