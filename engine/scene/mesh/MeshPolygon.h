#pragma once
#include <cstdint>
#include <vector>

class Mesh;

// One polygon of an object layer as the object loader reads it.
struct MeshPolygon {
    uint32_t vertexCount() const { return static_cast<uint32_t>(points.size()); }

    std::vector<uint32_t> points;
    // Index into the object file's surface table.
    int32_t surface = 0;
    // Its index in the layer's list before degenerate polygons were dropped.
    int32_t number = 0;
    Mesh* mesh = nullptr;
};
