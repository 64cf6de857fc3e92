#pragma once
#include "engine/scene/mesh/SurfaceBuffer.h"

// A surface buffer whose vertices are rewritten every frame after skinning;
// its default-pool buffers are released before a device reset and made again after.
class DynamicSurfaceBuffer : public SurfaceBuffer {
public:
    using SurfaceBuffer::SurfaceBuffer;

    void createDeviceObjects() override;
    void releaseDeviceObjects() override;
    bool create() override { return true; }
    // The data arrives through updateVertices and updateIndices instead.
    bool setVertices(const MeshVertex* records, uint32_t count) override { return true; }
    bool setIndices(const uint32_t* indices, uint32_t count) override { return true; }

    bool createBuffers(bool managedVertices, bool managedIndices, uint32_t vertexCount, uint32_t indexCount);
    // Counts beyond what createBuffers sized are refused.
    bool updateVertices(const MeshVertex* records, uint32_t count);
    bool updateIndices(const uint32_t* indices, uint32_t count);

private:
    uint32_t m_vertexCapacity = 0;
    uint32_t m_indexCapacity = 0;
};
