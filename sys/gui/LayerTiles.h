#pragma once
#include <cstdint>
#include <vector>

namespace sys {

// Which square tiles of the GUI layer hold anything drawn. Laying only those
// over the picture spares blending the transparent rest of the screen.
class LayerTiles {
public:
    static constexpr uint32_t TILE = 32;

    struct Area {
        uint32_t left, top, right, bottom;
    };

    void reset(uint32_t width, uint32_t height);
    // Every tile the rectangle touches, clipped to the layer.
    void mark(float left, float top, float right, float bottom);
    void markAll() { mark(0.0f, 0.0f, float(m_width), float(m_height)); }
    // The marked tiles as areas that never overlap, row by row, each run of
    // neighbours in a row as one, clipped to the layer; none when nothing was marked.
    std::vector<Area> areas() const;

private:
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_columns = 0;
    uint32_t m_rows = 0;
    std::vector<uint8_t> m_marked;
};

} // namespace sys
