#include "engine/platform/images/Image.h"

#include <cstdlib>

bool Image::allocate(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE) return false;
    auto* pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
    if (!pixels) return false;
    setData(pixels, 0); // the size field stays 0 for pictures
    m_width = width;
    m_height = height;
    return true;
}
