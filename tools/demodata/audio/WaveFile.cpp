#include "tools/demodata/audio/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace demoaudio {

namespace {

void putU16(std::string& s, uint16_t v) {
    s += char(v & 0xff);
    s += char(v >> 8);
}

void putU32(std::string& s, uint32_t v) {
    putU16(s, uint16_t(v & 0xffff));
    putU16(s, uint16_t(v >> 16));
}

void putSample(std::string& s, float v) {
    putU16(s, uint16_t(int16_t(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f))));
}

std::string header(uint16_t channels, int sampleRate, uint32_t dataBytes) {
    std::string s = "RIFF";
    putU32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    putU32(s, 16);
    putU16(s, 1); // PCM
    putU16(s, channels);
    putU32(s, uint32_t(sampleRate));
    putU32(s, uint32_t(sampleRate) * channels * 2);
    putU16(s, uint16_t(channels * 2));
    putU16(s, 16);
    s += "data";
    putU32(s, dataBytes);
    return s;
}

} // namespace

std::string monoWaveBytes(const std::vector<float>& samples, int sampleRate) {
    std::string s = header(1, sampleRate, uint32_t(samples.size() * 2));
    s.reserve(s.size() + samples.size() * 2);
    for (float v : samples) putSample(s, v);
    return s;
}

std::string stereoWaveBytes(const StereoBuffer& samples, int sampleRate) {
    std::string s = header(2, sampleRate, uint32_t(samples.frames() * 4));
    s.reserve(s.size() + samples.frames() * 4);
    for (size_t i = 0; i < samples.frames(); ++i) {
        putSample(s, samples.left[i]);
        putSample(s, samples.right[i]);
    }
    return s;
}

} // namespace demoaudio
