#pragma once
#include <vector>

#include "engine/scene/mesh/SparseVertexMap.h"

// Bone weights per point (a WGHT map), 0 where the file sets none.
class WeightMap : public SparseVertexMap {
public:
    WeightMap(const std::string& name, uint32_t pointCount) : SparseVertexMap(name), m_weights(pointCount, 0.0f) {}

    // The weight of a point; 0 for a point the map does not cover.
    float weightAt(uint32_t point) const { return point < m_weights.size() ? m_weights[point] : 0.0f; }

    std::vector<float> m_weights;
};
