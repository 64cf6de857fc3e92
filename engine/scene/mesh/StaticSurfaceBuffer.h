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
};
