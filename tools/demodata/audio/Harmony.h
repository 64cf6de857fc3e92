#pragma once
#include <string>
#include <vector>

namespace demoaudio {

// Minor is the natural minor; a melody raises its seventh with '#' where it needs to.
enum class Mode { Major, Minor };

// Semitones from the tonic up to scale degree `degree` (1 the tonic, 8 its
// octave; 0 and below go down).
int degreeSemitones(Mode mode, int degree);

// A chord by its Roman numeral in the key: upper case major, lower case
// minor, 'b' or '#' before it for a borrowed root, then "", "7", "maj7",
// "sus4" or "dim".
struct Chord {
    int root = 0;               // semitones above the tonic, 0 to 11
    std::vector<int> intervals; // from the root, the first 0
};
// Throws std::invalid_argument for a name outside that grammar.
Chord parseChord(const std::string& name);

// The chord's tone named the way a bass player counts (1 root, 3 third,
// 5 fifth, 7 seventh or the octave in a triad, 8 octave; 2, 4 and 6 the
// major second, fourth and sixth), in semitones above its root.
int chordTone(const Chord& chord, int number);

// Close voicing (midi notes, rising) near `centre` that moves the fewest
// semitones from `previous`.
std::vector<int> voiceChord(const Chord& chord, int tonic, int centre, const std::vector<int>& previous);

// Root, fifth and octave from the low register at `lowest` up.
std::vector<int> powerVoicing(const Chord& chord, int tonic, int lowest);

// A six-string shape: root, fifth and octave below the chord's colour tones.
std::vector<int> guitarVoicing(const Chord& chord, int tonic, int lowest);

} // namespace demoaudio
