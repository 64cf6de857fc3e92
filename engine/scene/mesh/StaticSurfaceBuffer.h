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
    // About this many triangles a grid cell, fewer where the surface is sparse.
    static constexpr uint32_t CHUNK_TRIANGLES = 512;
    // The fewest triangles facing one way in a row that make a run of their own.
    static constexpr uint32_t FACING_TRIANGLES = 8;

private:
    // Sorts the triangles into a grid over the surface's two widest axes, in
    // their own order within a cell, splits each cell's run where the way its
    // triangles face changes, and gives each run its box and facing bound.
    void buildChunks();
    // Numbers the vertices in the order the sorted triangles first use them:
    // the device shades the vertices of a run's index range, and keeps a
    // run's shaded vertices by their numbers, so near numbers shade once.
    void renumberVertices();
};
