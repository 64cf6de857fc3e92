#include "tools/demodata/audio/Harmony.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace demoaudio {

namespace {

// Semitones of the scale degrees; Roman numerals always count on the major scale.
const int MAJOR_STEPS[7] = {0, 2, 4, 5, 7, 9, 11};
const int MINOR_STEPS[7] = {0, 2, 3, 5, 7, 8, 10};

int romanValue(const std::string& letters) {
    static const char* const NUMERALS[7] = {"I", "II", "III", "IV", "V", "VI", "VII"};
    for (int i = 0; i < 7; ++i)
        if (letters == NUMERALS[i]) return i;
    return -1;
}

std::vector<int> colour(const std::string& suffix, bool major) {
    const int third = major ? 4 : 3;
    if (suffix.empty()) return {0, third, 7};
    if (suffix == "7") return {0, third, 7, 10};
    if (suffix == "maj7") return {0, 4, 7, 11};
    if (suffix == "sus4") return {0, 5, 7};
    if (suffix == "dim") return {0, 3, 6};
    return {};
}

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The lowest midi note of pitch class `pc` at or above `lowest`.
int atOrAbove(int pc, int lowest) { return lowest + ((pc - lowest) % 12 + 12) % 12; }

} // namespace

int degreeSemitones(Mode mode, int degree) {
    const int index = degree - 1;
    const int octave = floorDiv(index, 7);
    const int* steps = mode == Mode::Minor ? MINOR_STEPS : MAJOR_STEPS;
    return steps[index - octave * 7] + 12 * octave;
}

Chord parseChord(const std::string& name) {
    size_t at = 0;
    int shift = 0;
    for (; at < name.size() && (name[at] == 'b' || name[at] == '#'); ++at) shift += name[at] == 'b' ? -1 : 1;
    size_t end = at;
    while (end < name.size() && (name[end] == 'I' || name[end] == 'V' || name[end] == 'i' || name[end] == 'v')) ++end;
    std::string letters = name.substr(at, end - at);
    const bool major = !letters.empty() && letters[0] == 'I' ? true : !letters.empty() && letters[0] == 'V';
    for (char& c : letters) c = char(c == 'i' ? 'I' : c == 'v' ? 'V' : c);
    const int value = romanValue(letters);
    Chord chord;
    chord.intervals = colour(name.substr(end), major);
    if (value < 0 || chord.intervals.empty()) throw std::invalid_argument("not a chord: \"" + name + "\"");
    chord.root = ((MAJOR_STEPS[value] + shift) % 12 + 12) % 12;
    return chord;
}

int chordTone(const Chord& chord, int number) {
    switch (number) {
    case 1:
        return 0;
    case 2:
        return 2;
    case 3:
        return chord.intervals[1];
    case 4:
        return 5;
    case 5:
        return chord.intervals[2];
    case 6:
        return 9;
    case 7:
        return chord.intervals.size() > 3 ? chord.intervals[3] : 12;
    default:
        return 12 * ((number - 1) / 7) + chordTone(chord, (number - 1) % 7 + 1);
    }
}

std::vector<int> voiceChord(const Chord& chord, int tonic, int centre, const std::vector<int>& previous) {
    std::vector<int> classes;
    for (int interval : chord.intervals) {
        const int pc = (tonic + chord.root + interval) % 12;
        bool seen = false;
        for (int c : classes) seen = seen || c == pc;
        if (!seen) classes.push_back(pc);
    }
    std::vector<int> best;
    double bestCost = std::numeric_limits<double>::max();
    for (size_t inversion = 0; inversion < classes.size(); ++inversion) {
        std::vector<int> notes;
        int last = centre - 8;
        for (size_t k = 0; k < classes.size(); ++k) {
            last = atOrAbove(classes[(inversion + k) % classes.size()], notes.empty() ? last : last + 1);
            notes.push_back(last);
        }
        double mean = 0.0;
        for (int n : notes) mean += n;
        mean /= double(notes.size());
        double cost = 0.5 * std::fabs(mean - centre);
        for (int n : notes) {
            int nearest = 99;
            for (int p : previous) nearest = std::min(nearest, std::abs(n - p));
            if (!previous.empty()) cost += nearest;
        }
        if (cost < bestCost) {
            bestCost = cost;
            best = notes;
        }
    }
    return best;
}

std::vector<int> powerVoicing(const Chord& chord, int tonic, int lowest) {
    const int root = atOrAbove((tonic + chord.root) % 12, lowest);
    return {root, root + 7, root + 12};
}

std::vector<int> guitarVoicing(const Chord& chord, int tonic, int lowest) {
    const int root = atOrAbove((tonic + chord.root) % 12, lowest);
    std::vector<int> notes = {root, root + chord.intervals[2], root + 12, root + 12 + chord.intervals[1]};
    notes.push_back(root + 12 + chord.intervals[2]);
    notes.push_back(chord.intervals.size() > 3 ? root + 12 + chord.intervals[3] : root + 24);
    return notes;
}

} // namespace demoaudio
