#pragma once
#include <vector>

#include "engine/scene/mesh/VertexMap.h"

// Point offsets of a morph target; read but not drawn.
class MorphMap : public VertexMap {
public:
    MorphMap(const std::string& name, uint32_t pointCount) : VertexMap(name), m_offsets(pointCount * 3, 0.0f) {}

    // Three floats per point.
    std::vector<float> m_offsets;
    bool m_loaded = false;
};
