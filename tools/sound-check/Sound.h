#pragma once
#include <cstddef>
#include <string>
#include <vector>

// A sound as a listener gets it: one or two channels, -1 to 1.
struct Sound {
    std::vector<float> left, right; // `right` empty for mono
    double rate = 0.0;

    size_t frames() const { return left.size(); }
    // What one speaker in the middle would play.
    float mid(size_t i) const { return right.empty() ? left[i] : 0.5f * (left[i] + right[i]); }
};

// Longer than any sound of the game: an hour of stereo at 48 kHz.
constexpr size_t MAX_WAVE_BYTES = size_t(48000) * 4 * 3600;

// A 16-bit PCM WAVE file; throws std::runtime_error on a file it cannot read.
Sound readWaveFile(const std::string& path);
