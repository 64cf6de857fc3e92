#pragma once
#include <string>
#include <vector>

#include "tools/demodata/audio/Drum.h"
#include "tools/demodata/audio/Harmony.h"
#include "tools/demodata/audio/Instrument.h"

namespace demoaudio {

// How a part's pattern symbols become sounds: drum hits, chord tones counted
// from the current chord's root (bass lines and arpeggios), the whole chord
// on every symbol, or scale degrees of the key (melodies).
enum class Role { Drums, ChordTones, Chords, Melody };

enum class Voicing { Close, Power, Guitar };

// One player of a piece.
struct Part {
    Role role = Role::Melody;
    Instrument instrument = Instrument::Pluck;
    Drum drum = Drum::Kick;
    float tone = 0.5f;
    float gain = 1.0f;
    float pan = 0.0f;     // -1 left to 1 right
    float reverb = 0.15f; // send to the room
    float echo = 0.0f;    // send to the echo
    int octave = 0;       // moves the part's register
    float duck = 0.0f;    // 0 to 1: how far each kick pushes the part down
    Voicing voicing = Voicing::Close;
    double strum = 0.0; // seconds between the strings of a strummed chord
};

// What one part plays through a section (see parsePattern), and how loud.
struct Entry {
    int part;
    std::string pattern;
    float gain = 1.0f;
};

struct Section {
    int bars;
    std::string chords; // one Roman numeral a bar, cycling; "IV/V" halves a bar
    std::vector<Entry> entries;
};

// A piece of music in 4/4 that loops from its last bar back to its first.
struct Score {
    std::string name;
    double bpm = 120.0;
    float swing = 0.0f; // 0 straight, 0.33 a triplet shuffle, on the swing grid
    int swingGrid = 16; // 8 swings eighths, 16 sixteenths
    int tonic = 60;     // midi note of the key's first degree; melodies start here
    Mode mode = Mode::Major;
    float room = 0.5f; // reverb size and damping, 0 to 1
    float damping = 0.5f;
    float reverbLevel = 1.0f;
    double echoBeats = 0.75;
    float echoFeedback = 0.35f;
    std::vector<Part> parts;
    std::vector<Section> sections;

    int add(const Part& part) {
        parts.push_back(part);
        return int(parts.size()) - 1;
    }
    double barSeconds() const { return 240.0 / bpm; }
    int bars() const {
        int n = 0;
        for (const Section& s : sections) n += s.bars;
        return n;
    }
};

} // namespace demoaudio
