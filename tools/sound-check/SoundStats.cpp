#include "tools/sound-check/SoundStats.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "sys/Pi.h"

namespace {

const size_t WINDOW = 4096;

void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * PI_DOUBLE / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// The power in each bin, summed over Hann windows half overlapping.
std::vector<double> powerSpectrum(const std::vector<float>& left, const std::vector<float>& right) {
    std::vector<double> power(WINDOW / 2, 0.0);
    std::vector<std::complex<double>> frame(WINDOW);
    for (size_t at = 0; at + WINDOW <= left.size() || at == 0; at += WINDOW / 2) {
        for (size_t i = 0; i < WINDOW; ++i) {
            const size_t k = at + i;
            const double mid = k >= left.size() ? 0.0 : right.empty() ? left[k] : 0.5 * (left[k] + right[k]);
            frame[i] = mid * (0.5 - 0.5 * std::cos(2.0 * PI_DOUBLE * double(i) / double(WINDOW)));
        }
        fft(frame);
        for (size_t b = 0; b < WINDOW / 2; ++b) power[b] += std::norm(frame[b]);
        if (at + WINDOW >= left.size()) break;
    }
    return power;
}

uint32_t little(const char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(p[i]);
    return v;
}

} // namespace

SoundStats soundStats(const std::vector<float>& left, const std::vector<float>& right, double sampleRate) {
    SoundStats s;
    s.seconds = double(left.size()) / sampleRate;
    const std::vector<double> power = powerSpectrum(left, right);
    const double binHz = sampleRate / double(WINDOW);
    double total = 0.0, weighted = 0.0, above = 0.0;
    for (size_t b = 1; b < power.size(); ++b) {
        total += power[b];
        weighted += power[b] * double(b) * binHz;
        if (double(b) * binHz > 1000.0) above += power[b];
    }
    if (total <= 0.0) return s;
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
    if (!right.empty()) {
        double lr = 0.0, ll = 0.0, rr = 0.0;
        for (size_t i = 0; i < left.size() && i < right.size(); ++i) {
            lr += double(left[i]) * right[i];
            ll += double(left[i]) * left[i];
            rr += double(right[i]) * right[i];
        }
        s.correlation = ll > 0.0 && rr > 0.0 ? lr / std::sqrt(ll * rr) : 1.0;
    }
    return s;
}

namespace {

struct Wave {
    std::vector<float> left, right;
    double rate = 0.0;
};

Wave readWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        throw std::runtime_error(path + ": not a WAVE file");
    int channels = 0, bits = 0;
    Wave w;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const size_t size = little(&bytes[at + 4], 4), body = at + 8;
        if (body + size > bytes.size()) break;
        if (id == "fmt " && size >= 16) {
            channels = int(little(&bytes[body + 2], 2));
            w.rate = little(&bytes[body + 4], 4);
            bits = int(little(&bytes[body + 14], 2));
        } else if (id == "data") {
            if (bits != 16 || channels < 1 || channels > 2 || w.rate <= 0.0)
                throw std::runtime_error(path + ": only 16-bit mono or stereo PCM is read");
            for (size_t i = body; i + 2 * size_t(channels) <= body + size; i += 2 * size_t(channels)) {
                w.left.push_back(float(int16_t(little(&bytes[i], 2))) / 32768.0f);
                if (channels == 2) w.right.push_back(float(int16_t(little(&bytes[i + 2], 2))) / 32768.0f);
            }
            return w;
        }
        at = body + size + (size & 1);
    }
    throw std::runtime_error(path + ": no sound data");
}

} // namespace

SoundStats waveFileStats(const std::string& path) {
    const Wave w = readWave(path);
    return soundStats(w.left, w.right, w.rate);
}

Picture waveFileSpectrogram(const std::string& path) {
    const Wave w = readWave(path);
    const size_t window = 1024, hop = std::max<size_t>(64, w.left.size() / 800);
    const size_t columns = w.left.size() > window ? (w.left.size() - window) / hop + 1 : 1;
    // Rows on a log scale of frequency from 20 Hz to half the rate, high at the top.
    const int rows = 256;
    const double top = w.rate / 2.0, bottom = 20.0;
    std::vector<double> db(size_t(rows) * columns);
    std::vector<std::complex<double>> frame(window);
    double loudest = -1e9;
    for (size_t c = 0; c < columns; ++c) {
        for (size_t i = 0; i < window; ++i) {
            const size_t k = c * hop + i;
            const double mid = k >= w.left.size() ? 0.0 : w.right.empty() ? w.left[k] : 0.5 * (w.left[k] + w.right[k]);
            frame[i] = mid * (0.5 - 0.5 * std::cos(2.0 * PI_DOUBLE * double(i) / double(window)));
        }
        fft(frame);
        for (int r = 0; r < rows; ++r) {
            const double hz = bottom * std::pow(top / bottom, double(rows - 1 - r) / double(rows - 1));
            const size_t bin = std::min(window / 2 - 1, size_t(hz / w.rate * double(window)));
            double& d = db[size_t(r) * columns + c];
            d = 10.0 * std::log10(std::norm(frame[bin]) + 1e-12);
            loudest = std::max(loudest, d);
        }
    }
    // The loudest 80 dB, black to white.
    Picture picture{int(columns), rows, std::vector<uint8_t>(size_t(rows) * columns * 3, 0)};
    for (size_t i = 0; i < db.size(); ++i) {
        const double v = std::clamp((db[i] - loudest + 80.0) / 80.0, 0.0, 1.0);
        uint8_t* p = &picture.rgb[i * 3];
        p[0] = uint8_t(255.0 * std::min(1.0, v * 3.0));
        p[1] = uint8_t(255.0 * std::clamp(v * 3.0 - 1.0, 0.0, 1.0));
        p[2] = uint8_t(255.0 * std::clamp(v * 3.0 - 2.0, 0.0, 1.0));
    }
    return picture;
}
