#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Canvas;

// A picture painted pixel by pixel and written as a 24-bit BMP file, the
// plainest format the engine's image loader reads.
class Bitmap {
public:
    Bitmap(int width, int height) : m_width(width), m_height(height), m_rgb(size_t(width) * height * 3, 0) {}
    // The canvas's colours, its see-through left out.
    explicit Bitmap(const Canvas& canvas);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Channels 0 to 1, clamped.
    void set(int x, int y, float r, float g, float b);
    std::string bmp() const;

private:
    int m_width;
    int m_height;
    std::vector<uint8_t> m_rgb;
};

// A 0 to 1 colour scaled by `k` as a canvas's opaque ARGB.
uint32_t opaqueArgb(const std::array<float, 3>& rgb, float k = 1.0f);
