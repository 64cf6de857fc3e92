#pragma once
#include "engine/scene/mesh/SurfaceBuffer.h"

// A surface buffer filled once into the managed pool; survives device resets.
class StaticSurfaceBuffer : public SurfaceBuffer {
public:
    using SurfaceBuffer::SurfaceBuffer;

    bool create() override;
    // Refused once created.
    bool setVertices(const MeshVertex* records, uint32_t count) override;
    bool setIndices(const uint32_t* indices, uint32_t count) override;

    // Below this many triangles a surface is drawn in one call.
    static constexpr uint32_t CHUNKED_TRIANGLES = 2048;
    // About this many triangles a run, fewer where the surface is sparse.
    static constexpr uint32_t CHUNK_TRIANGLES = 512;

private:
    // Sorts the triangles into a grid over the surface's two widest axes, in
    // their own order within a cell, and gives each cell's run its box.
    void buildChunks();
};
