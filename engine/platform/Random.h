#pragma once

// The game's own dice: the linear congruential rule the original runtime used
// (state * 214013 + 2531011, bits 16 to 30), so particle sprays and lens
// flickers come out as they always did. Never seeded; each thread starts at 1.
class Random {
public:
    static constexpr int MAX = 0x7FFF;

    // The next number in 0..MAX.
    static int next();
    // Back to the unseeded start, so tests see the same sequence each run.
    static void reset();
};
