#pragma once
#include <cstdint>
#include <vector>

#include "engine/scene/mesh/MeshVertex.h"

// What a mesh build produces: vertex records, triangles and one group per
// surface with triangles. Kept after the build for skinned meshes and geoms.
struct MeshBuildData {
    void clear();

    std::vector<MeshVertex> vertices;
    // Three entries per triangle: corner numbers, after welding vertex indices.
    std::vector<uint32_t> corners;
    std::vector<int32_t> triangleSurfaces;
    int32_t vertexCount = 0;
    int32_t cornerCount = 0;
    std::vector<int32_t> groupSurfaces;
    std::vector<int32_t> groupFirstIndex;
    std::vector<int32_t> groupFirstVertex;
    std::vector<int32_t> groupEndVertex;
    std::vector<int32_t> groupEndIndex;
    // Per group its corner entries minus its first vertex.
    std::vector<std::vector<uint32_t>> groupIndexLists;
    // min(bone count, 4); survives clear.
    int32_t influenceCount = 0;
};
