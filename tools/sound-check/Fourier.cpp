#include "tools/sound-check/Fourier.h"

#include <cmath>
#include <complex>
#include <utility>

#include "sys/Pi.h"

namespace {

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

} // namespace

std::vector<double> framePower(const Sound& sound, size_t at, size_t window) {
    std::vector<std::complex<double>> frame(window);
    for (size_t i = 0; i < window; ++i) {
        const size_t k = at + i;
        const double v = k < sound.frames() ? sound.mid(k) : 0.0;
        frame[i] = v * (0.5 - 0.5 * std::cos(2.0 * PI_DOUBLE * double(i) / double(window)));
    }
    fft(frame);
    std::vector<double> power(window / 2);
    for (size_t b = 0; b < power.size(); ++b) power[b] = std::norm(frame[b]);
    return power;
}
