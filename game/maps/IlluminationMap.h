#pragma once
#include <cstdint>
#include <memory>

#include "engine/platform/Math3D.h"

class File;
class Image;

// A track's top-down colour picture over x and z from -250 to 250: the
// colour under a rider or a track object tints it, grey being neutral.
class IlluminationMap {
public:
    IlluminationMap();
    ~IlluminationMap();

    // The track's picture file; null for a track outside 0 to 5.
    static const char* fileName(int32_t track);
    // False, without a picture, for a track outside 0 to 5 or a missing file.
    bool load(int32_t track, File& files);
    // Bilinear, brightness doubled; a neutral 1.0 without a picture.
    ColorRGBA lookup(const Position3& position) const;

    float m_minX = -250.0f;
    float m_maxX = 250.0f;
    float m_minZ = -250.0f;
    float m_maxZ = 250.0f;
    std::unique_ptr<Image> m_image;
};
