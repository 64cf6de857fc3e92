#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What a listener hears in a sound's spectrum, measured over the whole
// sound: where its energy sits, and for stereo how wide the mix is.
struct SoundStats {
    double seconds = 0.0;
    double centroidHz = 0.0;     // the spectrum's centre of mass
    double shareAbove1k = 0.0;   // share of the energy above 1 kHz
    double rolloff95Hz = 0.0;    // 95 % of the energy lies below it
    double correlation = 1.0;    // left against right; 1 for mono
};

// `left` and `right` are the channels (`right` empty for mono), -1 to 1.
SoundStats soundStats(const std::vector<float>& left, const std::vector<float>& right, double sampleRate);

// A 16-bit PCM WAVE file's stats; throws std::runtime_error on a file it cannot read.
SoundStats waveFileStats(const std::string& path);

// A WAVE file's spectrogram: time across, 20 Hz to half the sample rate up
// on a log scale, loudness from black through red and yellow to white.
struct Picture {
    int width, height;
    std::vector<uint8_t> rgb;
};
Picture waveFileSpectrogram(const std::string& path);
