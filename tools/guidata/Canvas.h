#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Point {
    float x;
    float y;
};

// An RGBA picture painted with flat shapes; the GUI's pictures are made in code.
class Canvas {
public:
    Canvas(int width, int height, uint32_t argb = 0);

    int width() const { return m_width; }
    int height() const { return m_height; }
    uint32_t pixel(int x, int y) const;

    void fillRect(int x, int y, int w, int h, uint32_t argb);
    // Lays a colour over the rectangle, letting what is there show through its transparency.
    void shadeRect(int x, int y, int w, int h, uint32_t argb);
    void frameRect(int x, int y, int w, int h, int thickness, uint32_t argb);
    void fillDisc(float cx, float cy, float radius, uint32_t argb);
    void fillTriangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t argb);
    // Any outline, filled by the non-zero rule with soft edges; each pixel is blended once,
    // so see-through shapes stay even.
    void fillPolygon(const std::vector<Point>& outline, uint32_t argb);
    void fillRoundedRect(float x, float y, float w, float h, float radius, uint32_t argb);
    void fillEllipse(float cx, float cy, float rx, float ry, uint32_t argb);
    // Makes a round hole: the disc's pixels lose their cover, soft at the edge.
    void cutDisc(float cx, float cy, float radius);
    // Lays `argb` over one pixel at `coverage` (0 to 1) of its strength.
    void plot(int x, int y, uint32_t argb, float coverage) { blend(x, y, argb, coverage); }
    // A straight stroke `thickness` pixels wide.
    void drawLine(float x0, float y0, float x1, float y1, float thickness, uint32_t argb);
    // A stroke along a gently bending path, filled as one shape so its joints leave no seams.
    void drawPath(const std::vector<Point>& path, float thickness, uint32_t argb);
    // Rows blending from `topArgb` to `bottomArgb`.
    void fillGradient(uint32_t topArgb, uint32_t bottomArgb);
    // Lays `source` over this picture with its top-left corner at (x, y), clipped.
    void paste(const Canvas& source, int x, int y);
    // Same picture, every pixel grey at its own brightness.
    Canvas greyscale() const;

    std::string encodePng() const;

private:
    void blend(int x, int y, uint32_t argb, float coverage);

    int m_width;
    int m_height;
    std::vector<uint8_t> m_rgba;
};
