#include "tools/demodata/audio/Compositions.h"

#include <algorithm>
#include <initializer_list>

namespace demoaudio {

namespace {

// `n` copies of one bar, as a pattern of n bars.
std::string bars(const std::string& bar, int n) {
    std::string out = bar;
    for (int i = 1; i < n; ++i) out += "|" + bar;
    return out;
}

// `n` bars of which the last is a fill.
std::string withFill(const std::string& bar, const std::string& fill, int n) { return bars(bar, n - 1) + "|" + fill; }

// A pattern played once, after `rest` silent bars.
std::string late(int rest, const std::string& pattern) { return "!" + std::string(size_t(rest), '|') + pattern; }

Part drums(Drum drum, float gain, float tone = 0.5f, float pan = 0.0f, float reverb = 0.08f) {
    Part p;
    p.role = Role::Drums;
    p.drum = drum;
    p.gain = gain;
    p.tone = tone;
    p.pan = pan;
    p.reverb = reverb;
    return p;
}

Part player(Role role, Instrument instrument, float gain, float tone = 0.5f, float pan = 0.0f, float reverb = 0.15f) {
    Part p;
    p.role = role;
    p.instrument = instrument;
    p.gain = gain;
    p.tone = tone;
    p.pan = pan;
    p.reverb = reverb;
    return p;
}

// A section played again by fewer players: without those in `drop`.
Section without(const Section& section, std::initializer_list<int> drop) {
    Section out = section;
    out.entries.clear();
    for (const Entry& e : section.entries)
        if (std::find(drop.begin(), drop.end(), e.part) == drop.end()) out.entries.push_back(e);
    return out;
}

// A section played again by only those in `keep`.
Section only(const Section& section, std::initializer_list<int> keep) {
    Section out = section;
    out.entries.clear();
    for (const Entry& e : section.entries)
        if (std::find(keep.begin(), keep.end(), e.part) != keep.end()) out.entries.push_back(e);
    return out;
}

} // namespace

Score menuMusic() {
    Score s;
    s.name = "menu";
    s.bpm = 112.0;
    s.swing = 0.12f;
    s.tonic = 65; // F
    s.mode = Mode::Major;
    s.room = 0.55f;
    s.damping = 0.5f;
    s.reverbLevel = 0.9f;
    s.echoBeats = 0.75;
    const int kick = s.add(drums(Drum::Kick, 0.5f, 0.6f));
    const int snare = s.add(drums(Drum::Snare, 0.5f, 0.5f, 0.0f, 0.18f));
    const int hat = s.add(drums(Drum::ClosedHat, 0.22f, 0.4f, 0.3f));
    const int open = s.add(drums(Drum::OpenHat, 0.16f, 0.4f, 0.3f));
    const int shaker = s.add(drums(Drum::Shaker, 0.14f, 0.5f, -0.4f));
    const int crash = s.add(drums(Drum::Crash, 0.25f, 0.5f, -0.2f, 0.2f));
    const int bass = s.add(player(Role::ChordTones, Instrument::SynthBass, 0.7f, 0.25f));
    const int keys = s.add(player(Role::Chords, Instrument::ElectricPiano, 0.38f, 0.5f, -0.2f, 0.25f));
    const int pad = s.add(player(Role::Chords, Instrument::Pad, 0.32f, 0.3f, 0.0f, 0.35f));
    Part leadPart = player(Role::Melody, Instrument::SquareLead, 0.6f, 0.4f, 0.1f, 0.2f);
    leadPart.echo = 0.18f;
    const int lead = s.add(leadPart);
    Part bellPart = player(Role::Melody, Instrument::Bell, 0.45f, 0.0f, 0.4f, 0.3f);
    bellPart.octave = 1;
    const int bells = s.add(bellPart);

    const std::string groove = "x.....x.x.......", backbeat = "....x.......x...";
    const std::string hats = "x.o.x.o.x.o.x.oo", shake = "xoxoxoxoxoxoxoxo";
    const std::string melodyA = "5 - 3 5 - 6 5 -|3 - 1 - . 1 2 3|4 - 6 4 - 1^ 6 -|5 - - - . . . .|"
                                "5 - 3 5 - 6 5 -|3 - 1 - . 6 1^ 2^|1^ - 6 - 4 - 6 1^|2^ - - - 7 - 5 -";
    const std::string melodyB = "1^ - - 6 - - 4 -|2^ - - 7 - - 5 -|3^ - - 1^ - - 7 -|6 - - - 1^ - 2^ -|"
                                "4^ - 3^ - 2^ - 1^ -|7 - 1^ - 2^ - 5 -|1^ - - - - - - -|. . 5 - 6 - 7 -";
    const std::string counter = "5 . . 3 . . 1 .|6 . . 3 . . 1 .|6 . . 4 . . 1 .|7 . . 5 . . 2 .";

    s.sections.push_back({4, "IVmaj7 iii7 ii7 Vsus4",
                          {{keys, "x - - - - - - -"},
                           {bass, "1 - - - 5 - - -", 0.8f},
                           {shaker, shake, 0.8f},
                           {hat, withFill("................", "........x.x.x.x.", 4), 0.7f},
                           {bells, "!. . . . . . . .|. . . . . . . .|. . . . . . . .|5 - 6 - 7 - 1^ -", 0.6f}}});
    s.sections.push_back({8, "I vi IV V",
                          {{kick, groove},
                           {snare, withFill(backbeat, "....x.......x.xx", 8)},
                           {hat, hats},
                           {shaker, shake, 0.6f},
                           {crash, "!X..............."},
                           {bass, "1 - . 1 5 . 8 5"},
                           {keys, "x - - x - - x -"},
                           {lead, melodyA}}});
    s.sections.push_back({8, "IV V iii vi ii7 V7 I I",
                          {{kick, groove},
                           {snare, withFill(backbeat, "....x...x.x.xxxx", 8)},
                           {hat, hats},
                           {open, "..............x."},
                           {shaker, shake},
                           {crash, "!X..............."},
                           {bass, "1 - 1 8 . 1 5 -"},
                           {keys, "x - - x - - x -", 0.8f},
                           {pad, "x - - - - - - -"},
                           {lead, melodyB, 1.1f}}});
    s.sections.push_back({8, "I vi IV V",
                          {{kick, groove},
                           {snare, withFill(backbeat, "....x.......x.xx", 8)},
                           {hat, hats},
                           {shaker, shake, 0.6f},
                           {bass, "1 - . 1 5 . 8 5"},
                           {keys, "x - - x - - x -"},
                           {lead, melodyA, 0.9f},
                           {bells, counter, 0.7f}}});
    s.sections.push_back({4, "vi7 IVmaj7 ii7 Vsus4",
                          {{kick, "x..............."},
                           {shaker, shake},
                           {bass, "1 - - - - - - -"},
                           {keys, "x - - - - - x -", 0.8f},
                           {pad, "x - - - - - - -"},
                           {bells, "1^ . 6 . 5 . 3 .|1^ . 6 . 4 . 1 .|6 . 4 . 2 . 6_ .|5 . . . 5 . . ."}}});
    s.sections.push_back({8, "IV V iii vi ii7 V7 I I",
                          {{kick, groove},
                           {snare, withFill(backbeat, "....x...x.x.XxXX", 8)},
                           {hat, hats},
                           {open, "..............x."},
                           {shaker, shake},
                           {crash, "!X..............."},
                           {bass, "1 - 1 8 . 1 5 -"},
                           {keys, "x - - x - - x -", 0.8f},
                           {pad, "x - - - - - - -"},
                           {lead, melodyB, 1.1f},
                           {bells, counter, 0.5f}}});
    // Pop form: a quiet verse on the bells after the break, the chorus once
    // more and the intro to close.
    const std::vector<Section> sung = s.sections;
    s.sections.insert(s.sections.begin() + 5, without(sung[3], {kick, snare, crash, lead}));
    s.sections.push_back(without(sung[1], {crash}));
    s.sections.push_back(sung[0]);
    return s;
}

Score carParkMusic() {
    Score s;
    s.name = "track01";
    s.bpm = 126.0;
    s.tonic = 62; // D
    s.mode = Mode::Minor;
    // Bare concrete over several floors: a long, bright room and echoes.
    s.room = 0.85f;
    s.damping = 0.25f;
    s.echoBeats = 0.75;
    s.echoFeedback = 0.45f;
    const int kick = s.add(drums(Drum::Kick, 0.35f, 0.35f));
    const int clap = s.add(drums(Drum::Clap, 0.8f, 0.5f, 0.0f, 0.3f));
    const int hat = s.add(drums(Drum::ClosedHat, 0.16f, 0.3f, 0.25f));
    const int open = s.add(drums(Drum::OpenHat, 0.18f, 0.5f, -0.25f, 0.15f));
    const int snare = s.add(drums(Drum::Snare, 0.35f, 0.4f, 0.0f, 0.3f));
    const int crash = s.add(drums(Drum::Crash, 0.22f, 0.6f, 0.2f, 0.3f));
    Part bassPart = player(Role::ChordTones, Instrument::SynthBass, 0.8f, 0.45f);
    bassPart.duck = 0.5f;
    const int bass = s.add(bassPart);
    Part padPart = player(Role::Chords, Instrument::Pad, 0.35f, 0.2f, 0.0f, 0.5f);
    padPart.duck = 0.6f;
    const int pad = s.add(padPart);
    Part stabPart = player(Role::Chords, Instrument::Pluck, 0.6f, 0.7f, -0.3f, 0.3f);
    stabPart.echo = 0.4f;
    const int stabs = s.add(stabPart);
    Part arpPart = player(Role::ChordTones, Instrument::Pluck, 0.6f, 0.9f, 0.3f, 0.25f);
    arpPart.octave = 2;
    arpPart.echo = 0.3f;
    arpPart.duck = 0.3f;
    const int arp = s.add(arpPart);
    Part leadPart = player(Role::Melody, Instrument::SawLead, 0.7f, 0.3f, 0.0f, 0.3f);
    leadPart.echo = 0.25f;
    const int lead = s.add(leadPart);
    Part highPart = player(Role::Melody, Instrument::Pluck, 0.9f, 0.9f, -0.2f, 0.3f);
    highPart.octave = 1;
    highPart.echo = 0.3f;
    const int high = s.add(highPart);

    const std::string four = "x...x...x...x...", backbeat = "....x.......x...";
    const std::string ticks = "xoxoxoxoxoxoxoxo", offbeats = "..x...x...x...x.";
    const std::string arpeggio = "1 5 8 5 3^ 5 8 5 1 5 8 5 3^ 5 8 9";
    const std::string melody = "5 - - 4 3 - 1 -|7_ - 1 2 3 - 2 -|3 - - 2 1 - 6_ -|#7_ - - - 2 - 3 -|"
                               "5 - - 6 5 - 3 -|7 - - 6 5 - 3 -|6 - 1^ - 3^ - 1^ -|5 - - - #7 - - -";
    const std::string drift = "1^ - - - - - 6 -|7 - - - 4 - - -|5 - - - - - - -|. . . . 3 - 4 -";

    s.sections.push_back({8, "i bVI bIII bVII",
                          {{kick, four},
                           {hat, ticks, 0.8f},
                           {bass, "1 - - - . . . .|1 - - - . . . 8"},
                           {pad, "x - - - - - - -", 0.8f}}});
    s.sections.push_back({8, "i bVI bIII bVII",
                          {{kick, four},
                           {clap, backbeat},
                           {hat, ticks},
                           {open, offbeats},
                           {crash, "!X..............."},
                           {bass, ". 1 . 1 . 1 . 1"},
                           {pad, "x - - - - - - -", 0.7f},
                           {stabs, "x..x..x.........", 0.9f},
                           {arp, arpeggio, 0.8f}}});
    s.sections.push_back({8, "i bVII bVI V",
                          {{kick, four},
                           {clap, backbeat},
                           {hat, ticks},
                           {open, offbeats},
                           {crash, "!X..............."},
                           {bass, ". 1 . 1 . 1 . 8"},
                           {pad, "x - - - - - - -"},
                           {arp, arpeggio, 0.6f},
                           {lead, melody}}});
    s.sections.push_back({8, "bVI bVII i i",
                          {{hat, bars("................", 4) + "|" + bars(ticks, 4), 0.6f},
                           {snare, late(6, "x...x...x...x...|x.x.x.x.xxxxXXXX"), 0.8f},
                           {pad, "x - - - - - - -", 1.2f},
                           {stabs, "x..x..x.........", 0.7f},
                           {arp, arpeggio, 0.9f},
                           {lead, drift, 0.7f}}});
    s.sections.push_back({8, "i bVII bVI V",
                          {{kick, four},
                           {clap, backbeat},
                           {hat, ticks},
                           {open, offbeats},
                           {crash, "!X..............."},
                           {bass, ". 1 . 1 . 1 . 8"},
                           {pad, "x - - - - - - -"},
                           {stabs, "x..x..x.........", 0.6f},
                           {arp, arpeggio, 0.6f},
                           {lead, melody},
                           {high, melody}}});
    s.sections.push_back({8, "i bVI bIII bVII",
                          {{kick, four},
                           {clap, withFill(backbeat, "....x.....x.x.xx", 8)},
                           {hat, ticks},
                           {open, offbeats, 0.7f},
                           {bass, ". 1 . 1 . 1 . 1"},
                           {pad, "x - - - - - - -", 0.6f},
                           {stabs, "x..x..x.........", 0.9f},
                           {arp, arpeggio, 0.7f}}});
    // Club form: a breakdown to pad and arpeggio, then the drop again.
    const std::vector<Section> built = s.sections;
    s.sections.insert(s.sections.begin() + 4, only(built[2], {pad, arp, high}));
    s.sections.push_back(without(built[1], {crash}));
    return s;
}

Score shoppingCentreMusic() {
    Score s;
    s.name = "track02";
    s.bpm = 120.0;
    s.tonic = 70; // B flat
    s.mode = Mode::Major;
    // A glass-roofed hall: big but soft.
    s.room = 0.75f;
    s.damping = 0.55f;
    s.reverbLevel = 0.8f;
    s.echoBeats = 0.5;
    const int kick = s.add(drums(Drum::Kick, 0.35f, 0.6f));
    const int clap = s.add(drums(Drum::Clap, 0.7f, 0.5f, 0.0f, 0.2f));
    const int hat = s.add(drums(Drum::ClosedHat, 0.17f, 0.5f, 0.3f));
    const int open = s.add(drums(Drum::OpenHat, 0.14f, 0.5f, -0.2f));
    const int tambourine = s.add(drums(Drum::Tambourine, 0.25f, 0.5f, 0.6f));
    const int crash = s.add(drums(Drum::Crash, 0.22f, 0.5f, -0.3f, 0.2f));
    const int bass = s.add(player(Role::ChordTones, Instrument::SynthBass, 0.6f, 0.55f, 0.12f));
    const int clav = s.add(player(Role::Chords, Instrument::Clavinet, 0.3f, 0.6f, -0.6f, 0.1f));
    const int keys = s.add(player(Role::Chords, Instrument::ElectricPiano, 0.35f, 0.4f, 0.5f, 0.3f));
    const int strings = s.add(player(Role::Chords, Instrument::Pad, 0.3f, 0.65f, 0.0f, 0.4f));
    // The mall's organ plays the tune, as over a shop floor.
    Part leadPart = player(Role::Melody, Instrument::Organ, 0.5f, 0.7f, 0.0f, 0.25f);
    leadPart.echo = 0.12f;
    const int lead = s.add(leadPart);
    // The shop's announcement chimes.
    const int chimes = s.add(player(Role::Melody, Instrument::Bell, 0.5f, 1.0f, -0.45f, 0.45f));

    const std::string four = "x...x...x...x...", backbeat = "....x.......x...";
    const std::string sixteenths = "xoxoxoxoxoxoxoxo", offbeats = "..x...x...x...x.";
    const std::string octaves = "1 8 1 8 1 8 1 8", funk = "..x..x..x..x.x..";
    const std::string melodyA = ". 3 5 7 - 5 3 -|6 - 5 - 3 - 1 -|. 2 4 6 - 4 2 -|7_ - 5_ - 2 - . .|"
                                ". 3 5 7 - 5 3 -|6 - 5 - 3 - 5 -|4 - 3 - 2 - 4 -|5 - - - . . . .";
    const std::string melodyB = "3 - - - 1 - 6_ -|2 - - - 7_ - 5_ -|3 - 5 - 7 - 2^ -|1^ - - - 6 - - -|"
                                "6 - 5 - 4 - 2 -|3 - 4 - 5 - 7_ -|1 - - - - - - -|. . 5 - 4 - 3 -";
    const std::string ding = "5 - 3 - 1 - - -|. . . . . . . .";
    const std::string counter = "5 . 3 . 1 . 3 .|6 . 3 . 1 . 3 .|6 . 4 . 2 . 4 .|7 . 5 . 2 . 5 .";

    s.sections.push_back({4, "Imaj7 vi7 ii7 V7",
                          {{keys, "x - - - - - x -"},
                           {chimes, ding},
                           {tambourine, "..x...x...x...x.", 0.7f},
                           {bass, "1 - - - . . . .", 0.8f}}});
    s.sections.push_back({8, "Imaj7 vi7 ii7 V7",
                          {{kick, four},
                           {clap, backbeat},
                           {hat, sixteenths},
                           {open, offbeats},
                           {crash, "!X..............."},
                           {bass, octaves},
                           {clav, funk},
                           {lead, melodyA}}});
    s.sections.push_back({8, "IVmaj7 V7 iii7 vi7 ii7 V7 Imaj7 V7",
                          {{kick, four},
                           {clap, withFill(backbeat, "....x.......xxxx", 8)},
                           {hat, sixteenths},
                           {open, offbeats},
                           {tambourine, "....x.......x..."},
                           {crash, "!X..............."},
                           {bass, octaves},
                           {clav, funk, 0.8f},
                           {strings, "x - - - - - - -"},
                           {lead, melodyB}}});
    s.sections.push_back({8, "Imaj7 vi7 ii7 V7",
                          {{kick, four},
                           {clap, backbeat},
                           {hat, sixteenths},
                           {open, offbeats},
                           {bass, octaves},
                           {clav, funk},
                           {keys, ". . x . . . x .", 0.7f},
                           {lead, melodyA, 0.9f},
                           {chimes, counter, 0.5f}}});
    s.sections.push_back({4, "bVImaj7 bVII7 Imaj7 Imaj7",
                          {{keys, "x - - - - - x -"},
                           {strings, "x - - - - - - -"},
                           {tambourine, "..x...x...x...x."},
                           {chimes, "5 - 3 - 1 - - -|6 - 4 - 2 - - -|5 - 3 - 1 - - -|. . . . 5 - 7 -"},
                           {bass, "1 - - - - - - -"},
                           {kick, late(3, "x...x...x...xxxx"), 0.8f}}});
    s.sections.push_back({8, "IVmaj7 V7 iii7 vi7 ii7 V7 Imaj7 V7",
                          {{kick, four},
                           {clap, withFill(backbeat, "....x.......xxxx", 8)},
                           {hat, sixteenths},
                           {open, offbeats},
                           {tambourine, "....x.......x..."},
                           {crash, "!X..............."},
                           {bass, octaves},
                           {clav, funk, 0.8f},
                           {strings, "x - - - - - - -"},
                           {lead, melodyB, 1.1f},
                           {chimes, counter, 0.4f}}});
    s.sections.push_back({8, "Imaj7 vi7 ii7 V7",
                          {{kick, four},
                           {clap, backbeat},
                           {hat, sixteenths},
                           {open, offbeats, 0.8f},
                           {bass, octaves},
                           {clav, funk},
                           {keys, ". . x . . . x .", 0.8f},
                           {strings, "x - - - - - - -", 0.6f}}});
    // Disco form: the chimes and strings alone after the bridge, then the groove returns.
    const std::vector<Section> danced = s.sections;
    s.sections.insert(s.sections.begin() + 5, only(danced[2], {strings, chimes, bass, tambourine}));
    s.sections.push_back(without(danced[1], {crash}));
    return s;
}

Score parkMusic() {
    Score s;
    s.name = "track03";
    s.bpm = 96.0;
    s.swing = 0.25f;
    s.swingGrid = 8;
    s.tonic = 62; // D
    s.mode = Mode::Major;
    // Open air: little room, soft.
    s.room = 0.35f;
    s.damping = 0.6f;
    s.reverbLevel = 0.7f;
    const int kick = s.add(drums(Drum::Kick, 0.38f, 0.8f));
    const int brush = s.add(drums(Drum::Brush, 0.45f, 0.5f, 0.1f, 0.15f));
    const int rim = s.add(drums(Drum::Rim, 0.35f, 0.5f, -0.2f, 0.15f));
    const int shaker = s.add(drums(Drum::Shaker, 0.14f, 0.5f, 0.4f));
    const int bass = s.add(player(Role::ChordTones, Instrument::PluckBass, 0.7f, 0.3f));
    Part guitarPart = player(Role::ChordTones, Instrument::Pluck, 0.75f, 0.55f, -0.25f, 0.2f);
    guitarPart.octave = 1;
    const int guitar = s.add(guitarPart);
    Part flutePart = player(Role::Melody, Instrument::Flute, 0.65f, 0.4f, 0.1f, 0.3f);
    flutePart.octave = 1;
    const int flute = s.add(flutePart);
    Part glockPart = player(Role::Melody, Instrument::Bell, 0.28f, 0.0f, 0.35f, 0.3f);
    glockPart.octave = 1;
    const int glock = s.add(glockPart);
    const int strings = s.add(player(Role::Chords, Instrument::Pad, 0.26f, 0.55f, -0.1f, 0.4f));

    const std::string picking = "1 5 8 3^ 5^ 3^ 8 5";
    const std::string melodyA = "3 - 2 1 - 5_ 1 2|4 - - 3 2 - 1 -|3 - 2 - 6_ - - -|7_ - 1 2 - - . .|"
                                "3 - 2 1 - 5_ 1 2|4 - - 5 6 - 1^ -|5 - 4 3 2 - 7_ -|1 - - - - - . .";
    const std::string melodyB = "6 - - 5 4 - 2 -|3 - - 2 1 - 5_ -|4 - 3 2 - 6_ 2 -|3 - - - - - . 5_|"
                                "6 - - 5 4 - 6 -|1^ - - 7 6 - 5 -|5 - - 4 3 - 2 -|7_ - - - . . . .";
    const std::string counter = "1 . 3 . 5 . 3 .|1 . 4 . 6 . 4 .|6_ . 1 . 3 . 1 .|7_ . 2 . 5 . 2 .|"
                                "1 . 3 . 5 . 3 .|1 . 4 . 6 . 4 .|7_ . 2 . 5 . 2 .|1 . 3 . 5 . - .";

    s.sections.push_back({4, "I IV I V",
                          {{guitar, picking},
                           {bass, "1 - - - - - - -", 0.7f},
                           {shaker, "x.o.x.o.x.o.x.o.", 0.6f}}});
    s.sections.push_back({8, "I IV vi V I IV V I",
                          {{kick, "x.......x......."},
                           {brush, "....x.......x..."},
                           {shaker, "x.o.x.o.x.o.x.o."},
                           {bass, "1 - . 5_ 1 - . 5_"},
                           {guitar, picking},
                           {flute, melodyA}}});
    s.sections.push_back({8, "IV I ii vi IV I V V",
                          {{kick, "x.......x......."},
                           {brush, withFill("....x.......x...", "....x...x.x.x.x.", 8)},
                           {rim, "..x.......x....."},
                           {shaker, "x.o.x.o.x.o.x.o."},
                           {bass, "1 - 3 - 5 - 3 -"},
                           {guitar, picking, 0.9f},
                           {strings, "x - - - - - - -", 0.8f},
                           {flute, melodyB}}});
    s.sections.push_back({8, "I IV vi V I IV V I",
                          {{kick, "x.......x......."},
                           {brush, "....x.......x..."},
                           {shaker, "x.o.x.o.x.o.x.o."},
                           {bass, "1 - . 5_ 1 - . 5_"},
                           {guitar, picking},
                           {glock, counter},
                           {flute, melodyA, 0.85f}}});
    s.sections.push_back({8, "IV I ii vi IV I V V",
                          {{kick, "x.......x......."},
                           {brush, withFill("....x.......x...", "....x...x.x.xxxx", 8)},
                           {rim, "..x.......x....."},
                           {shaker, "x.o.x.o.x.o.x.o."},
                           {bass, "1 - 3 - 5 - 3 -"},
                           {guitar, picking},
                           {strings, "x - - - - - - -"},
                           {glock, counter, 0.6f},
                           {flute, melodyB, 1.1f}}});
    s.sections.push_back({4, "IV V I I",
                          {{guitar, picking},
                           {bass, "1 - - - 5_ - - -"},
                           {strings, "x - - - - - - -", 0.7f},
                           {shaker, "x.o.x.o.x.o.x.o.", 0.7f},
                           {glock, "1 . 4 . 6 . 4 .|7_ . 2 . 5 . 2 .|1 . 3 . 5 . 1^ .|5 . 3 . 1 . . ."}}});
    // A ballad's middle: guitar and flute alone, and the opening again.
    const std::vector<Section> played = s.sections;
    s.sections.insert(s.sections.begin() + 3, only(played[2], {guitar, flute, strings}));
    s.sections.push_back(played[0]);
    return s;
}

Score openCarParkMusic() {
    Score s;
    s.name = "track04";
    s.bpm = 140.0;
    s.tonic = 64; // E
    s.mode = Mode::Minor;
    s.room = 0.4f;
    s.damping = 0.5f;
    s.reverbLevel = 0.7f;
    s.echoBeats = 0.75;
    s.echoFeedback = 0.3f;
    const int kick = s.add(drums(Drum::Kick, 0.55f, 0.9f));
    const int snare = s.add(drums(Drum::Snare, 0.5f, 0.8f, 0.0f, 0.2f));
    const int hat = s.add(drums(Drum::ClosedHat, 0.2f, 0.6f, 0.45f));
    const int ride = s.add(drums(Drum::Ride, 0.11f, 0.5f, 0.35f));
    const int crash = s.add(drums(Drum::Crash, 0.22f, 0.6f, -0.3f, 0.15f));
    const int tomHigh = s.add(drums(Drum::TomHigh, 0.3f, 0.5f, 0.5f, 0.15f));
    const int tomLow = s.add(drums(Drum::TomLow, 0.35f, 0.5f, -0.5f, 0.15f));
    const int bass = s.add(player(Role::ChordTones, Instrument::PluckBass, 0.6f, 0.7f, -0.12f));
    Part leftPart = player(Role::Chords, Instrument::PowerGuitar, 0.33f, 0.5f, -0.85f, 0.1f);
    leftPart.voicing = Voicing::Power;
    const int left = s.add(leftPart);
    Part rightPart = leftPart;
    rightPart.pan = 0.85f;
    rightPart.tone = 0.6f;
    const int right = s.add(rightPart);
    const int organ = s.add(player(Role::Chords, Instrument::Organ, 0.22f, 0.5f, 0.35f, 0.2f));
    Part leadPart = player(Role::Melody, Instrument::SawLead, 0.6f, 0.9f, 0.0f, 0.25f);
    leadPart.echo = 0.15f;
    const int lead = s.add(leadPart);

    const std::string verseKick = "x.......x.x.....", chorusKick = "x...x...x...x...", backbeat = "....x.......x...";
    const std::string eighths = "x.x.x.x.x.x.x.x.";
    const std::string chug = "x.x.x.x.x.x.x.x.", open = "x - - x - - x -";
    const std::string solo = "5 - - 3 5 - 8 -|7 - 6 5 4 - 5 -|3 - - - 5 - 6 -|4 5 4 2 1 - - -|"
                             "8 - 7 8 - 5 - 3|2^ - 8 - 7 - 4 -|3^ 2^ 8 7 6 5 3 5|4 - 5 - 2 - 7_ -";
    const std::string hook = "3 - - 2 3 - 5 -|4 - - 3 2 - 1 -|1 - - - - - 5_ -|1 - 2 - 3 - 5 -|"
                             "6 - - 5 3 - 5 -|7 - - 6 4 - 2 -|5 - - - #7_ - 2 -|5 - - - - - - -";
    const std::string toms = "................|................|................|XxXxxxxxXXxxXXXX";

    s.sections.push_back({4, "i bVI bIII bVII",
                          {{kick, verseKick},
                           {snare, withFill(backbeat, "....x...x.x.xxxx", 4)},
                           {hat, eighths},
                           {left, open}}});
    s.sections.push_back({8, "i bVI bIII bVII",
                          {{kick, verseKick},
                           {snare, withFill(backbeat, "....x.......x.xx", 8)},
                           {hat, eighths},
                           {crash, "!X..............."},
                           {bass, "1 1 1 1 1 1 1 1"},
                           {left, chug},
                           {right, chug}}});
    s.sections.push_back({8, "bVI bVII i i bVI bVII V V",
                          {{kick, chorusKick},
                           {snare, withFill(backbeat, "....x...x.x.xxxx", 8)},
                           {ride, eighths},
                           {crash, "!X..............."},
                           {bass, "1 1 1 1 1 1 5 8"},
                           {left, open},
                           {right, open},
                           {organ, "x - - - - - - -"},
                           {lead, hook, 0.9f}}});
    s.sections.push_back({8, "i bVI bIII bVII",
                          {{kick, verseKick},
                           {snare, withFill(backbeat, "....x.......x.xx", 8)},
                           {hat, eighths},
                           {bass, "1 1 1 1 1 1 1 1"},
                           {left, chug},
                           {right, chug},
                           {organ, "x - - - - - - -", 0.6f}}});
    s.sections.push_back({8, "i bVII bVI bVII",
                          {{kick, chorusKick},
                           {snare, withFill(backbeat, "....x...x.x.xxxx", 8)},
                           {ride, eighths},
                           {bass, "1 1 1 1 1 1 5 8"},
                           {left, open, 0.8f},
                           {right, chug, 0.8f},
                           {lead, solo}}});
    s.sections.push_back({8, "bVI bVII i i bVI bVII V V",
                          {{kick, chorusKick},
                           {snare, backbeat},
                           {ride, eighths},
                           {crash, "X...............|................|................|................"},
                           {bass, "1 1 1 1 1 1 5 8"},
                           {left, open},
                           {right, open},
                           {organ, "x - - - - - - -"},
                           {lead, hook}}});
    s.sections.push_back({4, "bVI bVII V V",
                          {{kick, "x.......x......."},
                           {snare, "....x.......x..."},
                           {crash, "X...............|................|X...............|"},
                           {tomHigh, toms},
                           {tomLow, "................|................|................|..x.x.x.x.x.x.x."},
                           {bass, "1 - - - - - - -"},
                           {left, "x - - - - - - -"},
                           {right, "x - - - - - - -"}}});
    // Rock form: a guitar solo over the verse, the toms and bass alone, the chorus again.
    const std::vector<Section> rocked = s.sections;
    s.sections.insert(s.sections.begin() + 4, without(rocked[3], {crash}));
    s.sections.insert(s.sections.begin() + 5, only(rocked[2], {kick, tomHigh, tomLow, bass}));
    s.sections.push_back(without(rocked[2], {crash}));
    return s;
}

Score housingEstateMusic() {
    Score s;
    s.name = "track05";
    s.bpm = 88.0;
    s.swing = 0.28f;
    s.swingGrid = 16;
    s.tonic = 60; // C
    s.mode = Mode::Minor;
    s.room = 0.45f;
    s.damping = 0.7f;
    s.reverbLevel = 0.8f;
    s.echoBeats = 0.75;
    s.echoFeedback = 0.3f;
    const int kick = s.add(drums(Drum::Kick, 0.5f, 0.2f));
    const int snare = s.add(drums(Drum::Snare, 0.6f, 0.3f, 0.0f, 0.25f));
    const int hat = s.add(drums(Drum::ClosedHat, 0.2f, 0.5f, 0.25f));
    const int open = s.add(drums(Drum::OpenHat, 0.2f, 0.3f, -0.25f));
    const int rim = s.add(drums(Drum::Rim, 0.35f, 0.5f, -0.3f, 0.2f));
    const int shaker = s.add(drums(Drum::Shaker, 0.2f, 0.5f, 0.4f));
    const int bass = s.add(player(Role::ChordTones, Instrument::SubBass, 0.6f, 0.4f, -0.12f));
    const int keys = s.add(player(Role::Chords, Instrument::ElectricPiano, 0.4f, 0.3f, -0.45f, 0.3f));
    Part whistlePart = player(Role::Melody, Instrument::Flute, 0.55f, 1.0f, 0.35f, 0.3f);
    whistlePart.octave = 1;
    whistlePart.echo = 0.2f;
    const int whistle = s.add(whistlePart);
    Part bellPart = player(Role::Melody, Instrument::Bell, 0.4f, 0.0f, 0.4f, 0.35f);
    bellPart.octave = 1;
    bellPart.echo = 0.3f;
    const int bell = s.add(bellPart);
    const int strings = s.add(player(Role::Chords, Instrument::Pad, 0.3f, 0.45f, 0.0f, 0.4f));

    const std::string boomBap = "x......x..x.....|x......x.xx.....", backbeat = "....x.......x..o";
    const std::string hats = "x.xox.x.x.xox.x.";
    const std::string comp = "x - - - - - - -|x - - - . . x -";
    const std::string line = "1 - - - . 1 - -|1 - - - . . 5_ -";
    const std::string melodyA = ". . 5 - 3 - 1 -|4 - - 3 1 - - -|. . 4 - 2 - 7_ -|3 - - - 2 - - -|"
                                ". . 5 - 7 - 5 -|6 - - 5 4 - - -|. . 4 - 6 - 5 4|3 - - - - - . .";
    const std::string melodyB = "5 - - 3 - - 1 -|4 - - 2 - - 7_ -|3 - - - 1 - 5_ -|. . . . 7_ - 1 -|"
                                "1^ - - 7 - - 5 -|7 - - 5 - - 4 -|3 - - 2 - - 1 -|#7_ - - - 2 - - -";

    s.sections.push_back({4, "i7 iv7 bVII7 bIIImaj7",
                          {{keys, comp},
                           {shaker, "x.x.x.x.x.x.x.x.", 0.7f},
                           {bell, ". . . . 5 - - -|. . . . 3 - - -|. . . . 4 - - -|. . . . 2 - - -", 0.8f}}});
    s.sections.push_back({8, "i7 iv7 bVII7 bIIImaj7",
                          {{kick, boomBap},
                           {snare, backbeat},
                           {hat, hats},
                           {bass, line},
                           {keys, comp}}});
    s.sections.push_back({8, "i7 iv7 bVII7 bIIImaj7",
                          {{kick, boomBap},
                           {snare, backbeat},
                           {hat, hats},
                           {open, "..............x.|................"},
                           {bass, line},
                           {keys, comp, 0.85f},
                           {whistle, melodyA}}});
    s.sections.push_back({8, "bVImaj7 bVII7 i7 i7 bVImaj7 v7 i7 V7",
                          {{kick, boomBap},
                           {snare, backbeat},
                           {rim, "..x.......x....x"},
                           {hat, hats},
                           {open, "..............x.|................"},
                           {bass, "1 - - - . 1 - 8|1 - - - . . 5_ -"},
                           {keys, comp, 0.85f},
                           {whistle, melodyB},
                           {bell, ". . . . . . 5 .|. . . . . . 4 .", 0.6f}}});
    s.sections.push_back({8, "i7 iv7 bVII7 bIIImaj7",
                          {{kick, boomBap},
                           {snare, withFill(backbeat, "....x.......x.oo", 8)},
                           {hat, hats, 0.8f},
                           {shaker, "x.x.x.x.x.x.x.x.", 0.6f},
                           {bass, line},
                           {keys, comp},
                           {whistle, melodyA, 0.7f},
                           {bell, "5 . . . 3 . . .|4 . . . 1 . . .|4 . . . 2 . . .|3 . . . 5 . . .", 0.7f}}});
    // The beat alone for a while, as a rapper would rhyme over it, then the
    // hook, and strings over a half-time beat before the intro comes round.
    const std::vector<Section> looped = s.sections;
    s.sections.insert(s.sections.begin() + 3, only(looped[2], {kick, snare, hat, rim, bass}));
    s.sections.push_back({8, "bVImaj7 bIIImaj7 iv7 V7",
                          {{kick, "x...............|x.........x....."},
                           {snare, "........x.......", 0.8f},
                           {hat, "x.x.x.x.x.x.x.x.", 0.6f},
                           {bass, "1 - - - - - - -|1 - - - 5_ - - -"},
                           {strings, "x - - - - - - -"},
                           {keys, ". . . . x - - -", 0.7f},
                           {bell, "3 - - - 5 - - -|5 - - - 7 - - -|6 - - - 4 - - -|#7_ - - - 2 - - -", 0.7f}}});
    return s;
}

Score countryRoadMusic() {
    Score s;
    s.name = "track06";
    s.bpm = 150.0;
    s.swing = 0.15f;
    s.swingGrid = 8;
    s.tonic = 67; // G
    s.mode = Mode::Major;
    s.room = 0.35f;
    s.damping = 0.5f;
    s.reverbLevel = 0.6f;
    const int kick = s.add(drums(Drum::Kick, 0.45f, 0.7f));
    const int brush = s.add(drums(Drum::Brush, 0.28f, 0.5f, 0.15f, 0.1f));
    const int snare = s.add(drums(Drum::Snare, 0.3f, 0.6f, 0.0f, 0.15f));
    const int bass = s.add(player(Role::ChordTones, Instrument::PluckBass, 0.65f, 0.4f));
    Part guitarPart = player(Role::Chords, Instrument::Pluck, 0.45f, 0.6f, -0.3f, 0.15f);
    guitarPart.voicing = Voicing::Guitar;
    guitarPart.strum = 0.012;
    const int guitar = s.add(guitarPart);
    Part banjoPart = player(Role::ChordTones, Instrument::Pluck, 0.45f, 0.95f, 0.4f, 0.1f);
    banjoPart.octave = 2;
    const int banjo = s.add(banjoPart);
    const int fiddle = s.add(player(Role::Melody, Instrument::Fiddle, 0.55f, 0.5f, -0.15f, 0.2f));
    const int harmonica = s.add(player(Role::Melody, Instrument::Harmonica, 0.45f, 0.5f, 0.2f, 0.2f));

    const std::string train = "ooooXoooooooXooo", boom = "x.......x.......";
    const std::string walk = "1 - - - 5_ - - -|1 - - - 3 - 5 -", chick = ". . x - . . x x";
    const std::string roll = "1 5 8 1 5 8 1 5 8 1 5 8 1 5 8 1";
    const std::string fiddleA = "1 2 3 5 - 3 5 -|6 5 3 1 - 2 3 -|4 - 6 - 1^ - 6 -|5 6 5 4 3 - 1 -|"
                                "5 - 7 - 2^ - 7 -|6 5 4 3 2 - 7_ -|1 - 3 - 5 - 3 -|1 - - - . . 5_ 7_";
    const std::string harpB = "1^ - - - 6 - - -|6 - 5 - 4 - 3 -|3 - - - 5 - - -|6 5 3 - 1 - - -|"
                              "2 - - - #4 - 2 -|6 - 5 - #4 - 2 -|5 - - - 7 - 2^ -|6 - 5 - 4 - 2 -";

    s.sections.push_back({4, "I IV I V",
                          {{guitar, chick},
                           {bass, walk},
                           {brush, train, 0.6f}}});
    s.sections.push_back({8, "I I IV IV V V I I",
                          {{kick, boom},
                           {brush, train},
                           {bass, walk},
                           {guitar, chick},
                           {fiddle, fiddleA}}});
    s.sections.push_back({8, "I I IV IV V V I I",
                          {{kick, boom},
                           {brush, train},
                           {snare, "....x.......x..."},
                           {bass, walk},
                           {guitar, chick},
                           {banjo, roll},
                           {fiddle, fiddleA, 0.9f}}});
    s.sections.push_back({8, "IV IV I I II II V V",
                          {{kick, boom},
                           {brush, train},
                           {snare, withFill("....x.......x...", "....x...x.x.xxxx", 8)},
                           {bass, walk},
                           {guitar, chick},
                           {banjo, roll, 0.8f},
                           {harmonica, harpB}}});
    s.sections.push_back({8, "I I IV IV V V I I",
                          {{kick, boom},
                           {brush, train},
                           {snare, "....x.......x..."},
                           {bass, walk},
                           {guitar, chick},
                           {banjo, roll, 0.7f},
                           {fiddle, fiddleA},
                           {harmonica, "1 - - - - - - -|3 - - - - - - -|4 - - - - - - -|6 - - - - - - -|"
                                       "5 - - - - - - -|7 - - - - - - -|5 - - - - - - -|3 - - - - - - -", 0.6f}}});
    s.sections.push_back({8, "IV IV I I II II V V",
                          {{kick, boom},
                           {brush, train},
                           {snare, withFill("....x.......x...", "....x...x.x.XXXX", 8)},
                           {bass, walk},
                           {guitar, chick},
                           {banjo, roll},
                           {fiddle, harpB},
                           {harmonica, harpB, 0.5f}}});
    s.sections.push_back({4, "IV V I I",
                          {{kick, boom},
                           {brush, train, 0.7f},
                           {bass, walk},
                           {guitar, chick},
                           {fiddle, "1^ - 7 6 5 - 4 -|5 - 6 - 7 - 2^ -|1^ - - - 5 - 3 -|1 - - - . . . ."}}});
    // Country form: a break for each player in turn, then the tune and the intro.
    const std::vector<Section> picked = s.sections;
    s.sections.insert(s.sections.begin() + 3, without(picked[2], {fiddle}));
    s.sections.insert(s.sections.begin() + 4, only(picked[2], {banjo, bass, brush}));
    s.sections.push_back(picked[1]);
    s.sections.push_back(picked[0]);
    return s;
}

} // namespace demoaudio
