#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A grid of bytes, row 0 first: the position map before it becomes a PCX.
class ByteGrid {
public:
    ByteGrid(int width, int height, uint8_t fill = 0);

    int width() const { return m_width; }
    int height() const { return m_height; }
    uint8_t& at(int x, int y) { return m_bytes[y * m_width + x]; }
    uint8_t at(int x, int y) const { return m_bytes[y * m_width + x]; }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    int m_width;
    int m_height;
    std::vector<uint8_t> m_bytes;
};
