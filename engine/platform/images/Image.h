#pragma once
#include "engine/platform/archive/FileData.h"

// A decoded picture: width x height pixels 0xAARRGGBB, row after row.
class Image : public FileData {
public:
    explicit Image(const char* name) : FileData(name) {}

    Image* asImage() override { return this; }

    // Allocates the pixels; false (and no pixels) when the size is not sane.
    bool allocate(int32_t width, int32_t height);
    uint32_t* getPixels() { return reinterpret_cast<uint32_t*>(getData()); }
    const uint32_t* getPixels() const { return reinterpret_cast<const uint32_t*>(getData()); }
    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }

    // The largest side any loader accepts; bigger than any texture a device takes.
    static constexpr int32_t MAX_SIDE = 16384;

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
};
