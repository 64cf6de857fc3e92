#pragma once
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

// A 16-bit PCM WAVE file; throws std::runtime_error on a file it cannot read.
Sound readWaveFile(const std::string& path);
