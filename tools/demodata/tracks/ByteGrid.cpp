#include "tools/demodata/tracks/ByteGrid.h"

ByteGrid::ByteGrid(int width, int height, uint8_t fill)
    : m_width(width), m_height(height), m_bytes(static_cast<size_t>(width) * height, fill) {}
