#pragma once
#include <cstdint>

#include "engine/platform/Math3D.h"
#include "engine/platform/images/ImageLoaders.h"

class File;

// A track's top-down byte grid over x and z from -250 to 250: how far
// along the lap a point lies, 16 sectors of 16 values; 0 off the track.
class PositionMap {
public:
    PositionMap();
    ~PositionMap();

    // False, with an empty image, for a track outside 0 to 5 or a missing file.
    bool load(int32_t track, File& files);
    // 255 without an image.
    uint8_t lookup(const Position3& position) const;
    void unload();

    float m_minX = -250.0f;
    float m_maxX = 250.0f;
    float m_minZ = -250.0f;
    float m_maxZ = 250.0f;
    PcxImage m_image;
};
