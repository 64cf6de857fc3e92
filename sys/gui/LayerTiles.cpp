#include "sys/gui/LayerTiles.h"

#include <algorithm>
#include <cmath>

namespace sys {

void LayerTiles::reset(uint32_t width, uint32_t height) {
    m_width = width;
    m_height = height;
    m_columns = (width + TILE - 1) / TILE;
    m_rows = (height + TILE - 1) / TILE;
    m_marked.assign(size_t(m_columns) * m_rows, 0);
}

void LayerTiles::mark(float left, float top, float right, float bottom) {
    // A rectangle's edges may fall between pixels: whole pixels around it count.
    const float x0 = std::fmax(std::floor(left), 0.0f), y0 = std::fmax(std::floor(top), 0.0f);
    const float x1 = std::fmin(std::ceil(right), float(m_width)), y1 = std::fmin(std::ceil(bottom), float(m_height));
    if (!(x0 < x1 && y0 < y1)) return;
    const uint32_t c0 = uint32_t(x0) / TILE, c1 = (uint32_t(x1) - 1) / TILE;
    const uint32_t r0 = uint32_t(y0) / TILE, r1 = (uint32_t(y1) - 1) / TILE;
    for (uint32_t r = r0; r <= r1; ++r)
        std::fill(m_marked.begin() + r * m_columns + c0, m_marked.begin() + r * m_columns + c1 + 1, uint8_t(1));
}

std::vector<LayerTiles::Area> LayerTiles::areas() const {
    std::vector<Area> out;
    for (uint32_t r = 0; r < m_rows; ++r)
        for (uint32_t c = 0; c < m_columns;) {
            if (!m_marked[r * m_columns + c]) {
                ++c;
                continue;
            }
            const uint32_t first = c;
            while (c < m_columns && m_marked[r * m_columns + c]) ++c;
            out.push_back({first * TILE, r * TILE, std::min(c * TILE, m_width), std::min((r + 1) * TILE, m_height)});
        }
    return out;
}

} // namespace sys
