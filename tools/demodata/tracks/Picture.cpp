#include "tools/demodata/tracks/Picture.h"

#include <algorithm>
#include <cmath>

Picture::Picture(int width, int height, Rgb fill)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, fill) {}

uint8_t Picture::byte(float channel) {
    return static_cast<uint8_t>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f));
}

Picture::Rgb mix(Picture::Rgb a, Picture::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float smoothstep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}
