#pragma once
#include <string>
#include <vector>

namespace demoaudio {

// A sound a pattern starts: its place in bars from the section's start and
// how long it lasts through its ties.
struct Step {
    double start = 0.0;
    double length = 0.0;
    char symbol = 'x';  // 'x', 'X', 'o' or a digit '1' to '9'
    int accidental = 0; // semitones from leading 'b' and '#'
    int octave = 0;     // from trailing '^' (up) and '_' (down)
    float velocity = 0.8f;
};

// Reads a pattern over `bars` bars. Bars are separated by '|' and share
// their length evenly among their tokens: space-separated words, or single
// characters when a bar has no spaces. A token is '.' (silence), '-' (the
// sound before it goes on) or a symbol: "X" loud, "x" normal, "o" soft, or a
// digit with accidentals before and octave marks after, then '!' for an
// accent or '?' for a softer note. The bars repeat until the section ends;
// a pattern that begins with '!' plays its bars once. A sound still going
// at the section's end stops there. Throws std::invalid_argument on a bad token.
std::vector<Step> parsePattern(const std::string& pattern, int bars);

} // namespace demoaudio
