#include "tools/sound-check/SoundStats.h"

#include <algorithm>
#include <cmath>

#include "tools/sound-check/Fourier.h"

namespace {

const size_t WINDOW = 4096;
// 16-bit full scale, as a WAVE file holds it.
const double FULL_SCALE = 32767.0 / 32768.0;

// The power in each bin, summed over Hann windows half overlapping.
std::vector<double> powerSpectrum(const Sound& sound) {
    std::vector<double> power(WINDOW / 2, 0.0);
    for (size_t at = 0;; at += WINDOW / 2) {
        const std::vector<double> frame = framePower(sound, at, WINDOW);
        for (size_t b = 0; b < power.size(); ++b) power[b] += frame[b];
        if (at + WINDOW >= sound.frames()) break;
    }
    return power;
}

void spectrumStats(const Sound& sound, SoundStats& s) {
    const std::vector<double> power = powerSpectrum(sound);
    const double binHz = sound.rate / double(WINDOW);
    double total = 0.0, weighted = 0.0, above = 0.0;
    for (size_t b = 1; b < power.size(); ++b) {
        total += power[b];
        weighted += power[b] * double(b) * binHz;
        if (double(b) * binHz > 1000.0) above += power[b];
    }
    if (total <= 0.0) return;
    s.centroidHz = weighted / total;
    s.shareAbove1k = above / total;
    double running = 0.0;
    for (size_t b = 1; b < power.size(); ++b) {
        running += power[b];
        if (running >= 0.95 * total) {
            s.rolloff95Hz = double(b) * binHz;
            break;
        }
    }
}

void levelStats(const std::vector<float>& channel, SoundStats& s) {
    if (channel.empty()) return;
    double sum = 0.0;
    std::vector<float> steps;
    for (size_t i = 0; i < channel.size(); ++i) {
        const double size = std::fabs(channel[i]);
        s.peak = std::max(s.peak, size);
        if (size >= FULL_SCALE) ++s.clipped;
        sum += channel[i];
        if (i > 0) steps.push_back(std::fabs(channel[i] - channel[i - 1]));
    }
    s.offset = std::max(s.offset, std::fabs(sum / double(channel.size())));
    s.first = std::max(s.first, double(std::fabs(channel.front())));
    s.last = std::max(s.last, double(std::fabs(channel.back())));
    if (steps.empty()) return;
    const auto big = steps.begin() + long(steps.size() * 99 / 100);
    std::nth_element(steps.begin(), big, steps.end());
    const double seam = std::fabs(channel.front() - channel.back());
    s.seam = std::max(s.seam, *big > 0.0f ? seam / *big : seam > 0.0 ? 1e9 : 0.0);
}

} // namespace

SoundStats soundStats(const Sound& sound) {
    SoundStats s;
    if (sound.frames() == 0 || sound.rate <= 0.0) return s;
    s.seconds = double(sound.frames()) / sound.rate;
    spectrumStats(sound, s);
    levelStats(sound.left, s);
    levelStats(sound.right, s);
    if (!sound.right.empty()) {
        double lr = 0.0, ll = 0.0, rr = 0.0;
        for (size_t i = 0; i < sound.frames() && i < sound.right.size(); ++i) {
            lr += double(sound.left[i]) * sound.right[i];
            ll += double(sound.left[i]) * sound.left[i];
            rr += double(sound.right[i]) * sound.right[i];
        }
        s.correlation = ll > 0.0 && rr > 0.0 ? lr / std::sqrt(ll * rr) : 1.0;
    }
    return s;
}

SoundStats soundStats(const std::vector<float>& left, const std::vector<float>& right, double sampleRate) {
    return soundStats(Sound{left, right, sampleRate});
}
