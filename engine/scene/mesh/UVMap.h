#pragma once
#include <vector>

#include "engine/scene/mesh/DiscontinuousEntry.h"
#include "engine/scene/mesh/VertexMap.h"

// Texture coordinates (u, v, w) per point, with per-polygon overrides.
class UVMap : public VertexMap {
public:
    UVMap(const std::string& name, uint32_t pointCount) : VertexMap(name), m_values(pointCount * 3, 0.0f) {}

    // Three floats per point.
    std::vector<float> m_values;
    // One per polygon of the layer once a VMAD names the map; empty before.
    std::vector<DiscontinuousEntry> m_polygonEntries;
};
