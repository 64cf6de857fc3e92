#pragma once
#include <cstdint>
#include <vector>

// A colour, channels 0..1 (clamped on writing).
struct Rgb {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

// An RGB picture for textures and the illumination map; pixel (0, 0) is the
// top-left one, as the BMP writer and the engine (rows flipped) see it.
class Picture {
public:
    using Rgb = ::Rgb;

    Picture(int width, int height, Rgb fill = Rgb{});

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb& at(int x, int y) { return m_pixels[index(x, y)]; }
    const Rgb& at(int x, int y) const { return m_pixels[index(x, y)]; }
    // 8-bit channels, rounded and clamped.
    static uint8_t byte(float channel);

private:
    int index(int x, int y) const { return y * m_width + x; }
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

inline Picture::Rgb rgb(float r, float g, float b) { return {r, g, b}; }
inline Picture::Rgb grey(float v) { return {v, v, v}; }
Picture::Rgb mix(Picture::Rgb a, Picture::Rgb b, float t);
// 0 below a, 1 above b, a smooth S between (a may lie above b: the S falls).
float smoothstep(float a, float b, float x);
