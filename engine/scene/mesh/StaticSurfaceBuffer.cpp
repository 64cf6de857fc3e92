#include "engine/scene/mesh/StaticSurfaceBuffer.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/Report.h"
#include "engine/render/Renderer.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "sys/gfx/Buffer.h"
#include "sys/gfx/Device.h"

using namespace sys::gfx;

bool StaticSurfaceBuffer::setVertices(const MeshVertex* records, uint32_t count) {
    if (m_created) return false;
    uint32_t stride = m_layout->m_stride;
    size_t first = m_packedVertices.size();
    m_packedVertices.resize(first + size_t(stride) * count);
    for (uint32_t i = 0; i < count; ++i) packVertex(records[i], &m_packedVertices[first + size_t(i) * stride]);
    m_vertexCount += count;
    return true;
}

bool StaticSurfaceBuffer::setIndices(const uint32_t* indices, uint32_t count) {
    if (m_created || (m_primitiveType != 0 && m_primitiveType != PT_TRIANGLELIST)) return false;
    m_indices.insert(m_indices.end(), indices, indices + count);
    m_triangleCount += count / 3;
    m_primitiveType = PT_TRIANGLELIST;
    m_indexCount += count;
    return true;
}

bool StaticSurfaceBuffer::create() {
    if (m_created) return false;
    m_vertexUsage = m_indexUsage = baseUsage();
    computeTangents(m_packedVertices, m_indices, m_vertexCount);
    std::vector<Device*>& devices = m_renderer->m_devices;
    for (size_t d = 0; d < devices.size(); ++d) {
        void* bits = nullptr;
        if (devices[d]->createVertexBuffer(uint32_t(m_packedVertices.size()), m_vertexUsage, 0, POOL_MANAGED,
                                           m_vertexBuffers[d].out()) < 0 ||
            !m_vertexBuffers[d] || m_vertexBuffers[d]->lock(0, 0, &bits, 0) < 0 || !bits)
            return false;
        std::memcpy(bits, m_packedVertices.data(), m_packedVertices.size());
        m_vertexBuffers[d]->unlock();
    }
    uint32_t largest = m_indices.empty() ? 0 : *std::max_element(m_indices.begin(), m_indices.end());
    // Indices beyond 16 bits are kept whole; a device that cannot take them is told by the assertion.
    bool wide = largest > 0xFFFF;
    uint32_t maxVertexIndex = m_renderer->m_activeCaps.maxVertexIndex;
    if (wide) ENGINE_ASSERT(largest <= maxVertexIndex && "too many indices");
    m_indexFormat = wide ? FMT_INDEX32 : FMT_INDEX16;
    m_indexBytes = m_indexCount * (wide ? 4 : 2);
    for (size_t d = 0; d < devices.size(); ++d) {
        void* bits = nullptr;
        if (devices[d]->createIndexBuffer(m_indexBytes, m_indexUsage, m_indexFormat, POOL_MANAGED,
                                          m_indexBuffers[d].out()) < 0 ||
            !m_indexBuffers[d] || m_indexBuffers[d]->lock(0, 0, &bits, 0) < 0 || !bits)
            return false;
        storeIndices(bits, m_indices.data(), m_indexCount);
        m_indexBuffers[d]->unlock();
    }
    m_created = true;
    return true;
}
