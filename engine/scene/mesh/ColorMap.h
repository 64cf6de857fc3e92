#pragma once
#include <vector>

#include "engine/scene/mesh/DiscontinuousEntry.h"
#include "engine/scene/mesh/VertexMap.h"

// Vertex colours (r, g, b, a) per point, with per-polygon overrides.
class ColorMap : public VertexMap {
public:
    ColorMap(const std::string& name, uint32_t pointCount, bool hasAlpha)
        : VertexMap(name), m_values(pointCount * 4, 0.0f), m_hasAlpha(hasAlpha) {}

    // Four floats per point.
    std::vector<float> m_values;
    std::vector<DiscontinuousEntry> m_polygonEntries;
    bool m_hasAlpha;
};
