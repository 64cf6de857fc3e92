#pragma once
#include <cstdint>

#include "tools/demodata/audio/StereoBuffer.h"

namespace demoaudio {

// The pitched voices the music is played on.
enum class Instrument {
    ElectricPiano, // bell-like tine piano (two-operator FM)
    Clavinet,      // short, bright, funky pulse
    Pad,           // three detuned saws, slow, wide
    Organ,         // drawbars with a rotating-speaker wobble
    SynthBass,     // saw and sub-octave square through a closing filter
    SubBass,       // round sine, lightly driven
    PluckBass,     // plucked string, low
    Pluck,         // plucked string: guitar, harp, banjo by its tone
    Bell,          // glockenspiel and chimes (inharmonic FM)
    SquareLead,    // hollow square with vibrato
    SawLead,       // two saws, driven: from a synth lead to a screaming guitar
    PowerGuitar,   // distorted rhythm guitar
    Flute,         // breathy sine, also a whistle
    Fiddle,        // bowed saw through body resonances
    Harmonica,     // reedy pulse that bends up into the note
};

struct Note {
    double hz = 440.0;
    float velocity = 0.8f; // 0 to 1
    double held = 0.25;    // seconds from the start to the release
    float tone = 0.5f;     // 0 dark to 1 bright; each voice reads it its own way
    uint32_t seed = 1;
};

// One note from its start to the end of its release, at about -6 dB for
// velocity 1 so a few can sound together.
StereoBuffer renderNote(Instrument instrument, const Note& note, double sampleRate);

} // namespace demoaudio
