#include "tools/demodata/tracks/Picture.h"

#include <algorithm>
#include <cmath>

Picture::Picture(int width, int height, Rgb fill)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, fill) {}

Picture::Rgb& Picture::wrapped(int x, int y) {
    x %= m_width;
    y %= m_height;
    if (x < 0) x += m_width;
    if (y < 0) y += m_height;
    return at(x, y);
}

void Picture::fillRect(int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) wrapped(x, y) = colour;
}

void Picture::multiply(Rgb factor) {
    for (Rgb& p : m_pixels) {
        p.r *= factor.r;
        p.g *= factor.g;
        p.b *= factor.b;
    }
}

uint8_t Picture::byte(float channel) {
    return static_cast<uint8_t>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f));
}

Picture::Rgb mix(Picture::Rgb a, Picture::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
