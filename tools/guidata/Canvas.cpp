#include "tools/guidata/Canvas.h"

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
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0.0f) return;
    uint8_t* p = &m_rgba[(size_t(y) * m_width + x) * 4];
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

void Canvas::fillTriangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t argb) {
    const float area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area == 0.0f) return;
    const int minX = int(std::floor(std::min({x0, x1, x2}))), maxX = int(std::ceil(std::max({x0, x1, x2})));
    const int minY = int(std::floor(std::min({y0, y1, y2}))), maxY = int(std::ceil(std::max({y0, y1, y2})));
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

void Canvas::drawLine(float x0, float y0, float x1, float y1, float thickness, uint32_t argb) {
    const float length = std::hypot(x1 - x0, y1 - y0);
    if (length == 0.0f) return;
    const float nx = -(y1 - y0) / length * thickness / 2, ny = (x1 - x0) / length * thickness / 2;
    fillTriangle(x0 + nx, y0 + ny, x1 + nx, y1 + ny, x1 - nx, y1 - ny, argb);
    fillTriangle(x0 + nx, y0 + ny, x1 - nx, y1 - ny, x0 - nx, y0 - ny, argb);
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
