#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/demodata/audio/Harmony.h"
#include "tools/demodata/audio/Pattern.h"
#include "tools/demodata/audio/Sequencer.h"
#include "tools/demodata/audio/SoundEffects.h"
#include "tools/sound-check/SoundStats.h"

using namespace demoaudio;

TEST(MusicPattern, TiesHoldAcrossBarsRestsEndNotesAndBarsRepeat) {
    const std::vector<Step> steps = parsePattern("x - . x|- o . .", 4);
    ASSERT_EQ(steps.size(), 6u); // two bars, twice
    EXPECT_DOUBLE_EQ(steps[0].start, 0.0);
    EXPECT_DOUBLE_EQ(steps[0].length, 0.5);
    EXPECT_DOUBLE_EQ(steps[1].start, 0.75);
    EXPECT_DOUBLE_EQ(steps[1].length, 0.5) << "the tie carries over the bar line";
    EXPECT_DOUBLE_EQ(steps[2].start, 1.25);
    EXPECT_FLOAT_EQ(steps[2].velocity, 0.45f);
    EXPECT_DOUBLE_EQ(steps[3].start, 2.0);
    EXPECT_DOUBLE_EQ(steps[5].length, 0.25) << "the section's end stops the last note";

    EXPECT_EQ(parsePattern("!X...|....", 8).size(), 1u) << "'!' plays its bars once";
    EXPECT_EQ(parsePattern("x...x...", 3).size(), 6u) << "no spaces: a character a step";

    const Step marked = parsePattern("b3^_^! .", 1).at(0);
    EXPECT_EQ(marked.symbol, '3');
    EXPECT_EQ(marked.accidental, -1);
    EXPECT_EQ(marked.octave, 1);
    EXPECT_FLOAT_EQ(marked.velocity, 1.0f);

    EXPECT_THROW(parsePattern("1 q", 1), std::invalid_argument);
    EXPECT_THROW(parsePattern("10", 1), std::invalid_argument);
}

TEST(MusicHarmony, RomanNumeralsNameTheirChordsAndVoicesMoveLittle) {
    const Chord borrowed = parseChord("bVII");
    EXPECT_EQ(borrowed.root, 10);
    EXPECT_EQ(borrowed.intervals, (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(parseChord("ii7").intervals, (std::vector<int>{0, 3, 7, 10}));
    EXPECT_EQ(parseChord("Imaj7").intervals, (std::vector<int>{0, 4, 7, 11}));
    EXPECT_EQ(parseChord("#IVdim").root, 6);
    EXPECT_THROW(parseChord("VIII"), std::invalid_argument);
    EXPECT_THROW(parseChord("Ix"), std::invalid_argument);

    EXPECT_EQ(degreeSemitones(Mode::Minor, 3), 3);
    EXPECT_EQ(degreeSemitones(Mode::Major, 9), 14);
    EXPECT_EQ(degreeSemitones(Mode::Major, 0), -1) << "one below the tonic is the leading note";
    EXPECT_EQ(chordTone(parseChord("V7"), 7), 10);
    EXPECT_EQ(chordTone(parseChord("V"), 7), 12) << "a triad's seventh is its octave";

    // C major to A minor in C: two notes stay, one steps up a tone.
    const std::vector<int> c = voiceChord(parseChord("I"), 60, 62, {});
    const std::vector<int> a = voiceChord(parseChord("vi"), 60, 62, c);
    int moved = 0;
    for (int note : a) moved += std::count(c.begin(), c.end(), note) ? 0 : 1;
    EXPECT_EQ(moved, 1);
    EXPECT_TRUE(std::is_sorted(a.begin(), a.end()));
}

// A loop has no start: played one bar later, the same music is the same
// sound one bar later, echoes, room and all, and nothing leaks at the seam.
TEST(MusicSequencer, ALoopSoundsTheSameWhereverItIsCut) {
    auto score = [](const std::string& pattern) {
        Score s;
        s.name = "cut";
        s.bpm = 120.0;
        s.echoBeats = 0.5;
        s.echoFeedback = 0.5f;
        Part pad;
        pad.role = Role::Chords;
        pad.instrument = Instrument::Pad;
        pad.reverb = 0.6f;
        pad.echo = 0.4f;
        s.add(pad);
        s.sections.push_back({2, "I", {{0, pattern}}});
        return s;
    };
    const double rate = 8000.0;
    const StereoBuffer late = renderScore(score(". . . .|. . x -"), rate);
    const StereoBuffer early = renderScore(score(". . x -|. . . ."), rate);
    ASSERT_EQ(late.frames(), size_t(4.0 * rate));
    ASSERT_EQ(early.frames(), late.frames());

    const size_t bar = size_t(2.0 * rate);
    float loudest = 0.0f, worst = 0.0f;
    for (size_t i = 0; i < late.frames(); ++i) {
        loudest = std::max(loudest, std::fabs(late.left[i]));
        worst = std::max(worst, std::fabs(late.left[(i + bar) % late.frames()] - early.left[i]));
    }
    EXPECT_LT(worst, loudest * 0.01f);
    EXPECT_LT(loudest, 0.9f);
    // The chord's release rings on past the loop's end into its first beat.
    float opening = 0.0f;
    for (size_t i = 0; i < size_t(0.1 * rate); ++i) opening = std::max(opening, std::fabs(late.left[i]));
    EXPECT_GT(opening, loudest * 0.1f);
}

TEST(MopedEngine, EachModelRunsAtItsOwnPaceNeverMissesABangAndJoinsWithoutAClick) {
    std::set<int> periods;
    for (int model = 0; model < MOPED_MODELS; ++model) {
        SCOPED_TRACE(model);
        const std::vector<float> loop = mopedEngine(model);
        // The seam is one more step of the wave: no larger than all but the loop's largest steps.
        EXPECT_LE(soundStats(loop, {}, EFFECTS_RATE).seam, 1.0);

        // The firing period is the lag (15 to 60 bangs a second) at which the loop best matches itself.
        int best = 0;
        double bestMatch = -1e30;
        for (int lag = EFFECTS_RATE / 60; lag <= EFFECTS_RATE / 15; ++lag) {
            double match = 0.0;
            for (size_t i = 0; i < loop.size(); ++i) match += loop[i] * loop[(i + size_t(lag)) % loop.size()];
            if (match > bestMatch) {
                bestMatch = match;
                best = lag;
            }
        }
        periods.insert(best / 20); // in steps of about a millisecond
        // Every bang fires: a stretch one firing long, wherever it starts, holds
        // one as loud as the others; a missed bang leaves one nearly silent.
        std::vector<double> stretches;
        for (size_t at = 0; at < loop.size(); at += size_t(best) / 4) {
            double energy = 0.0;
            for (size_t k = 0; k < size_t(best); ++k) {
                const float v = loop[(at + k) % loop.size()];
                energy += v * v;
            }
            stretches.push_back(energy);
        }
        std::sort(stretches.begin(), stretches.end());
        EXPECT_GT(stretches.front(), 0.5 * stretches[stretches.size() / 2]) << "the engine stumbles";
    }
    EXPECT_EQ(periods.size(), size_t(MOPED_MODELS)) << "two mopeds sound alike";
}

TEST(MusicSequencer, SwingPlaysTheSecondEighthOfEachPairLate) {
    Score s;
    s.name = "swing";
    s.bpm = 120.0; // a bar of two seconds
    s.swing = 0.5f;
    s.swingGrid = 8;
    Part rim;
    rim.role = Role::Drums;
    rim.drum = Drum::Rim;
    rim.reverb = 0.0f;
    s.add(rim);
    s.sections.push_back({1, "I", {{0, ". x . . x . . ."}}});
    const double rate = 8000.0;
    const StereoBuffer loop = renderScore(s, rate);
    std::vector<double> onsets;
    for (size_t i = 0; i < loop.frames(); ++i)
        if (std::fabs(loop.left[i]) > 0.05f && (onsets.empty() || i / rate > onsets.back() + 0.1))
            onsets.push_back(i / rate);
    ASSERT_EQ(onsets.size(), 2u);
    // Halfway to the next pair: 0.25 s + half of 0.25 s; the beat itself stays.
    EXPECT_NEAR(onsets[0], 0.375, 0.004);
    EXPECT_NEAR(onsets[1], 1.0, 0.004);
}

// The lowest and highest notes the pieces ask for, loud and short and long:
// no voice may blow up, leave the range or stop on a step.
TEST(MusicInstruments, EveryVoiceStaysInRangeAndEndsInSilence) {
    for (int kind = 0; kind <= int(Instrument::Harmonica); ++kind) {
        for (double hz : {30.0, 220.0, 2500.0}) {
            for (double held : {0.05, 1.0}) {
                SCOPED_TRACE(testing::Message() << "instrument " << kind << " at " << hz << " Hz held " << held);
                Note note;
                note.hz = hz;
                note.velocity = 1.0f;
                note.held = held;
                note.tone = 1.0f;
                const StereoBuffer sound = renderNote(Instrument(kind), note, 22050.0);
                ASSERT_GT(sound.frames(), size_t(held * 22050.0));
                float peak = 0.0f;
                for (size_t i = 0; i < sound.frames(); ++i) {
                    ASSERT_TRUE(std::isfinite(sound.left[i]) && std::isfinite(sound.right[i]));
                    peak = std::max({peak, std::fabs(sound.left[i]), std::fabs(sound.right[i])});
                }
                EXPECT_LT(peak, 1.0f);
                EXPECT_GT(peak, 0.01f) << "silent";
                EXPECT_LT(std::fabs(sound.left.back()), 0.001f);
            }
        }
    }
    for (Drum drum : {Drum::Kick, Drum::Snare, Drum::Clap, Drum::ClosedHat, Drum::OpenHat, Drum::Crash, Drum::Ride,
                      Drum::Shaker, Drum::Tambourine, Drum::Rim, Drum::Brush, Drum::TomLow, Drum::TomHigh}) {
        const std::vector<float> hit = renderDrum(drum, 0.5f, 1.0f, 3, 22050.0);
        float peak = 0.0f;
        for (float v : hit) peak = std::max(peak, std::fabs(v));
        EXPECT_FLOAT_EQ(peak, 0.5f) << "drum " << int(drum) << " does not peak at its velocity";
        EXPECT_LT(std::fabs(hit.back()), 0.005f) << "drum " << int(drum) << " is cut off";
    }
}
