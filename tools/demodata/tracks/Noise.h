#pragma once
#include <cstdint>

// Seeded value noise that tiles with a whole-number period, for textures
// that repeat without seams.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_seed(seed) {}

    // 0..1 at a lattice point.
    float lattice(int x, int y, int period) const;
    // Smoothly interpolated, 0..1; x, y in lattice units.
    float smooth(float x, float y, int period) const;
    // Sum of `octaves` octaves (each twice the frequency, half the weight), 0..1.
    float fractal(float x, float y, int period, int octaves) const;

private:
    uint32_t m_seed;
};
