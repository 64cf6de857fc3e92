#include "tools/demodata/tracks/Noise.h"

#include <cmath>

namespace {

uint32_t hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

int wrapCell(int v, int period) {
    v %= period;
    return v < 0 ? v + period : v;
}

float fade(float t) { return t * t * (3.0f - 2.0f * t); }

} // namespace

float Noise::lattice(int x, int y, int period) const {
    uint32_t h = hash(m_seed ^ hash(static_cast<uint32_t>(wrapCell(x, period)) * 0x9E3779B1u +
                                    static_cast<uint32_t>(wrapCell(y, period))));
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Noise::smooth(float x, float y, int period) const {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = fade(x - static_cast<float>(x0)), fy = fade(y - static_cast<float>(y0));
    float a = lattice(x0, y0, period), b = lattice(x0 + 1, y0, period);
    float c = lattice(x0, y0 + 1, period), d = lattice(x0 + 1, y0 + 1, period);
    float top = a + (b - a) * fx, bottom = c + (d - c) * fx;
    return top + (bottom - top) * fy;
}

float Noise::fractal(float x, float y, int period, int octaves) const {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += smooth(x, y, period) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}
