#include "tools/demodata/mopeds/Bitmap.h"

#include <algorithm>

#include "tools/guidata/Canvas.h"

Bitmap::Bitmap(const Canvas& canvas) : Bitmap(canvas.width(), canvas.height()) {
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const uint32_t p = canvas.pixel(x, y);
            set(x, y, float((p >> 16) & 0xFF) / 255.0f, float((p >> 8) & 0xFF) / 255.0f, float(p & 0xFF) / 255.0f);
        }
}

uint32_t opaqueArgb(const std::array<float, 3>& rgb, float k) {
    auto byte = [k](float v) { return uint32_t(std::clamp(v * k, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return 0xFF000000u | byte(rgb[0]) << 16 | byte(rgb[1]) << 8 | byte(rgb[2]);
}

void Bitmap::set(int x, int y, float r, float g, float b) {
    uint8_t* p = &m_rgb[(size_t(y) * m_width + x) * 3];
    const float c[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) p[i] = uint8_t(std::clamp(c[i], 0.0f, 1.0f) * 255.0f + 0.5f);
}

std::string Bitmap::bmp() const {
    const int rowBytes = (m_width * 3 + 3) & ~3;
    std::string s;
    auto u16 = [&](uint32_t v) { s.push_back(char(v & 0xFF)), s.push_back(char((v >> 8) & 0xFF)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(0x4D42), u32(54 + uint32_t(rowBytes * m_height)), u32(0), u32(54);
    u32(40), u32(uint32_t(m_width)), u32(uint32_t(m_height)), u16(1), u16(24);
    for (int i = 0; i < 6; ++i) u32(0);
    // Rows bottom first, blue green red.
    for (int y = m_height - 1; y >= 0; --y) {
        for (int x = 0; x < m_width; ++x) {
            const uint8_t* p = &m_rgb[(size_t(y) * m_width + x) * 3];
            s += {char(p[2]), char(p[1]), char(p[0])};
        }
        s.append(size_t(rowBytes - m_width * 3), '\0');
    }
    return s;
}
