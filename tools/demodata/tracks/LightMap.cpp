#include "tools/demodata/tracks/LightMap.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/TrackMaps.h"

LightMap::LightMap(float level, Picture::Rgb tint) : m_level(level), m_tint(tint) {}

void LightMap::rectangle(float x0, float z0, float x1, float z1, float level, float soft) {
    m_shapes.push_back({false,
                        std::min(x0, x1),
                        std::min(z0, z1),
                        std::max(x0, x1),
                        std::max(z0, z1),
                        level,
                        std::max(soft, 0.01f),
                        {1.0f, 1.0f, 1.0f}});
}

void LightMap::disc(float x, float z, float radius, float level, Picture::Rgb tint) {
    m_shapes.push_back({true, x, z, radius, 0.0f, level, radius, tint});
}

Picture::Rgb LightMap::at(float x, float z) const {
    float level = m_level;
    Picture::Rgb tint = m_tint;
    // Later shapes paint over earlier ones, each by its coverage here.
    for (const Shape &s : m_shapes) {
        float cover;
        if (s.isDisc) {
            // Most of a track lies far outside each lamp and tree: skipped before the square root.
            if (std::fabs(x - s.a) >= s.c || std::fabs(z - s.b) >= s.c)
                continue;
            float d = std::hypot(x - s.a, z - s.b);
            cover = std::clamp(1.0f - d / s.c, 0.0f, 1.0f);
            cover = cover * cover * (3.0f - 2.0f * cover);
        } else {
            float inside = std::min({x - s.a, s.c - x, z - s.b, s.d - z});
            if (inside <= -0.5f * s.soft)
                continue;
            cover = std::clamp(0.5f + inside / s.soft, 0.0f, 1.0f);
        }
        if (cover <= 0.0f)
            continue;
        level += (s.level - level) * cover;
        tint = mix(tint, s.tint, cover);
    }
    return {level * tint.r, level * tint.g, level * tint.b};
}

Picture LightMap::picture() const {
    const int size = TrackMaps::ILLUMINATION_SIZE;
    Picture out(size, size);
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column)
            out.at(column, row) =
                at(TrackMaps::cellCentre(column, size, false), TrackMaps::cellCentre(row, size, true));
    return out;
}
