#pragma once
#include <cstdint>
#include <map>

#include "engine/scene/mesh/VertexMap.h"

// A map that may hold values for only some points.
class SparseVertexMap : public VertexMap {
public:
    using VertexMap::VertexMap;

    std::map<uint32_t, float> m_entries;
    float m_defaultValue = 0.0f;
};
