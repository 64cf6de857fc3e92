#include "tools/guidata/Canvas.h"
#include "sys/Pi.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

Canvas::Canvas(int width, int height, uint32_t argb)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_rgba(size_t(m_width) * m_height * 4) {
    fillRect(0, 0, m_width, m_height, argb);
}

uint32_t Canvas::pixel(int x, int y) const {
    const uint8_t* p = &m_rgba[(size_t(y) * m_width + x) * 4];
    return uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

void Canvas::blend(int x, int y, uint32_t argb, float coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0.0f || (argb >> 24) == 0) return;
    uint8_t* p = &m_rgba[(size_t(y) * m_width + x) * 4];
    if (coverage >= 1.0f && (argb >> 24) == 0xFF) {
        p[0] = uint8_t(argb >> 16), p[1] = uint8_t(argb >> 8), p[2] = uint8_t(argb), p[3] = 0xFF;
        return;
    }
    const float a = float(argb >> 24) / 255.0f * std::min(coverage, 1.0f);
    const float src[3] = {float((argb >> 16) & 0xFF), float((argb >> 8) & 0xFF), float(argb & 0xFF)};
    const float dstA = p[3] / 255.0f;
    const float outA = a + dstA * (1.0f - a);
    for (int c = 0; c < 3; ++c) {
        float v = outA > 0.0f ? (src[c] * a + p[c] * dstA * (1.0f - a)) / outA : 0.0f;
        p[c] = uint8_t(std::lround(std::clamp(v, 0.0f, 255.0f)));
    }
    p[3] = uint8_t(std::lround(outA * 255.0f));
}

void Canvas::fillRect(int x, int y, int w, int h, uint32_t argb) {
    // A plain fill replaces what is there, so transparent fills clear.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, m_width), y1 = std::min(y + h, m_height);
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px) {
            uint8_t* p = &m_rgba[(size_t(py) * m_width + px) * 4];
            p[0] = uint8_t(argb >> 16);
            p[1] = uint8_t(argb >> 8);
            p[2] = uint8_t(argb);
            p[3] = uint8_t(argb >> 24);
        }
}

void Canvas::shadeRect(int x, int y, int w, int h, uint32_t argb) {
    for (int py = std::max(y, 0); py < std::min(y + h, m_height); ++py)
        for (int px = std::max(x, 0); px < std::min(x + w, m_width); ++px) blend(px, py, argb, 1.0f);
}

void Canvas::frameRect(int x, int y, int w, int h, int thickness, uint32_t argb) {
    fillRect(x, y, w, thickness, argb);
    fillRect(x, y + h - thickness, w, thickness, argb);
    fillRect(x, y, thickness, h, argb);
    fillRect(x + w - thickness, y, thickness, h, argb);
}

void Canvas::fillDisc(float cx, float cy, float radius, uint32_t argb) {
    for (int py = int(cy - radius) - 1; py <= int(cy + radius) + 1; ++py)
        for (int px = int(cx - radius) - 1; px <= int(cx + radius) + 1; ++px) {
            const float d = std::hypot(px + 0.5f - cx, py + 0.5f - cy);
            blend(px, py, argb, radius - d + 0.5f);
        }
}

void Canvas::cutDisc(float cx, float cy, float radius) {
    for (int py = std::max(int(cy - radius) - 1, 0); py <= std::min(int(cy + radius) + 1, m_height - 1); ++py)
        for (int px = std::max(int(cx - radius) - 1, 0); px <= std::min(int(cx + radius) + 1, m_width - 1); ++px) {
            const float cut = std::clamp(radius - std::hypot(px + 0.5f - cx, py + 0.5f - cy) + 0.5f, 0.0f, 1.0f);
            uint8_t& alpha = m_rgba[(size_t(py) * m_width + px) * 4 + 3];
            alpha = uint8_t(std::lround(alpha * (1.0f - cut)));
        }
}

void Canvas::fillTriangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t argb) {
    const float area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area == 0.0f) return;
    const int minX = std::max(int(std::floor(std::min({x0, x1, x2}))), 0);
    const int maxX = std::min(int(std::ceil(std::max({x0, x1, x2}))), m_width - 1);
    const int minY = std::max(int(std::floor(std::min({y0, y1, y2}))), 0);
    const int maxY = std::min(int(std::ceil(std::max({y0, y1, y2}))), m_height - 1);
    // Four samples a pixel soften the edges.
    for (int py = minY; py <= maxY; ++py)
        for (int px = minX; px <= maxX; ++px) {
            int inside = 0;
            for (int s = 0; s < 4; ++s) {
                const float sx = px + 0.25f + 0.5f * (s & 1), sy = py + 0.25f + 0.5f * (s >> 1);
                const float w0 = ((x1 - sx) * (y2 - sy) - (x2 - sx) * (y1 - sy)) / area;
                const float w1 = ((x2 - sx) * (y0 - sy) - (x0 - sx) * (y2 - sy)) / area;
                if (w0 >= 0.0f && w1 >= 0.0f && w0 + w1 <= 1.0f) ++inside;
            }
            blend(px, py, argb, inside / 4.0f);
        }
}

void Canvas::fillPolygon(const std::vector<Point>& outline, uint32_t argb) {
    if (outline.size() < 3) return;
    float top = outline[0].y, bottom = top, left = outline[0].x, right = left;
    for (const Point& p : outline) {
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        left = std::min(left, p.x), right = std::max(right, p.x);
    }
    const int x0 = std::max(int(std::floor(left)), 0), x1 = std::min(int(std::ceil(right)), m_width);
    const int y0 = std::max(int(std::floor(top)), 0), y1 = std::min(int(std::ceil(bottom)), m_height);
    if (x0 >= x1) return;
    const int SUBROWS = 4;
    std::vector<float> coverage(size_t(x1 - x0) + 1);
    std::vector<std::pair<float, int>> crossings;
    for (int py = y0; py < y1; ++py) {
        std::fill(coverage.begin(), coverage.end(), 0.0f);
        for (int s = 0; s < SUBROWS; ++s) {
            const float sy = py + (s + 0.5f) / SUBROWS;
            crossings.clear();
            for (size_t i = 0; i < outline.size(); ++i) {
                const Point& a = outline[i];
                const Point& b = outline[(i + 1) % outline.size()];
                if ((a.y <= sy) == (b.y <= sy)) continue;
                crossings.push_back({a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x), a.y < b.y ? 1 : -1});
            }
            std::sort(crossings.begin(), crossings.end());
            int winding = 0;
            for (size_t i = 0; i + 1 < crossings.size(); ++i) {
                winding += crossings[i].second;
                if (winding == 0) continue;
                // The span between two crossings, with its partly covered end pixels.
                const float from = std::clamp(crossings[i].first, float(x0), float(x1));
                const float to = std::clamp(crossings[i + 1].first, float(x0), float(x1));
                for (int px = int(from); px < x1 && px < to; ++px) {
                    const float inside = std::min(to, px + 1.0f) - std::max(from, float(px));
                    if (inside > 0.0f) coverage[size_t(px - x0)] += inside / SUBROWS;
                }
            }
        }
        for (int px = x0; px < x1; ++px) blend(px, py, argb, coverage[size_t(px - x0)]);
    }
}

void Canvas::fillRoundedRect(float x, float y, float w, float h, float radius, uint32_t argb) {
    radius = std::min({radius, w / 2, h / 2});
    std::vector<Point> outline;
    const Point corners[4] = {{x + w - radius, y + radius}, {x + w - radius, y + h - radius},
                              {x + radius, y + h - radius}, {x + radius, y + radius}};
    for (int c = 0; c < 4; ++c)
        for (int step = 0; step <= 8; ++step) {
            const float a = (c - 1 + step / 8.0f) * 1.5707963f;
            outline.push_back({corners[c].x + radius * std::cos(a), corners[c].y + radius * std::sin(a)});
        }
    fillPolygon(outline, argb);
}

void Canvas::fillEllipse(float cx, float cy, float rx, float ry, uint32_t argb) {
    std::vector<Point> outline;
    const int steps = std::clamp(int(std::max(rx, ry)), 16, 128);
    for (int i = 0; i < steps; ++i) {
        const float a = 2.0f * PI * i / steps;
        outline.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    fillPolygon(outline, argb);
}

void Canvas::drawLine(float x0, float y0, float x1, float y1, float thickness, uint32_t argb) {
    drawPath({{x0, y0}, {x1, y1}}, thickness, argb);
}

void Canvas::drawPath(const std::vector<Point>& path, float thickness, uint32_t argb) {
    if (path.size() < 2) return;
    // Each point moves out along the mean of its neighbouring segments' normals, to both sides.
    std::vector<Point> left, right;
    for (size_t i = 0; i < path.size(); ++i) {
        const Point& a = path[i > 0 ? i - 1 : i];
        const Point& b = path[i + 1 < path.size() ? i + 1 : i];
        const float length = std::hypot(b.x - a.x, b.y - a.y);
        if (length == 0.0f) return;
        const float nx = -(b.y - a.y) / length * thickness / 2, ny = (b.x - a.x) / length * thickness / 2;
        left.push_back({path[i].x + nx, path[i].y + ny});
        right.push_back({path[i].x - nx, path[i].y - ny});
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    fillPolygon(left, argb);
}

void Canvas::fillGradient(uint32_t topArgb, uint32_t bottomArgb) {
    for (int y = 0; y < m_height; ++y) {
        const float t = m_height > 1 ? float(y) / float(m_height - 1) : 0.0f;
        uint32_t argb = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const float a = float((topArgb >> shift) & 0xFF), b = float((bottomArgb >> shift) & 0xFF);
            argb |= uint32_t(std::lround(a + (b - a) * t)) << shift;
        }
        fillRect(0, y, m_width, 1, argb);
    }
}

void Canvas::paste(const Canvas& source, int x, int y) {
    for (int py = 0; py < source.m_height; ++py)
        for (int px = 0; px < source.m_width; ++px) blend(x + px, y + py, source.pixel(px, py), 1.0f);
}

Canvas Canvas::greyscale() const {
    Canvas out = *this;
    for (size_t i = 0; i < out.m_rgba.size(); i += 4) {
        const uint8_t grey = uint8_t((out.m_rgba[i] * 77 + out.m_rgba[i + 1] * 151 + out.m_rgba[i + 2] * 28) >> 8);
        out.m_rgba[i] = out.m_rgba[i + 1] = out.m_rgba[i + 2] = grey;
    }
    return out;
}

std::string Canvas::encodePng() const {
    std::string png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
        },
        &png, m_width, m_height, 4, m_rgba.data(), m_width * 4);
    return png;
}
