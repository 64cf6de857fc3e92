#pragma once
#include <cstdint>

// One polygon corner while a mesh is built, later one welded vertex; also
// what skinning writes and what the surface buffers pack.
struct MeshVertex {
    static constexpr int MAX_STAGES = 8;
    static constexpr int MAX_INFLUENCES = 4;

    float position[3];
    float normal[3];
    float colour[4];
    // u, v, w per texture stage.
    float texCoords[MAX_STAGES][3];
    int32_t polygon;
    // First record of the same point, then its first welded vertex.
    int32_t pointKey;
    int32_t recordNumber;
    // A mesh may have 1024 bones, so a byte does not hold the index.
    uint16_t boneIndices[MAX_INFLUENCES];
    float boneWeights[MAX_INFLUENCES];
};
