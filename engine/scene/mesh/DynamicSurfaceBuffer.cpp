#include "engine/scene/mesh/DynamicSurfaceBuffer.h"

#include "engine/render/Renderer.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "sys/gfx/Buffer.h"
#include "sys/gfx/Device.h"

using namespace sys::gfx;

namespace {

uint32_t poolFor(uint32_t usage) { return (usage & USAGE_DYNAMIC) ? POOL_DEFAULT : POOL_MANAGED; }
uint32_t lockFlagsFor(uint32_t usage) { return (usage & USAGE_DYNAMIC) ? uint32_t(LOCK_DISCARD) : 0; }

} // namespace

bool DynamicSurfaceBuffer::createBuffers(bool managedVertices, bool managedIndices, uint32_t vertexCount,
                                         uint32_t indexCount) {
    if (m_created) return false;
    m_vertexUsage = baseUsage() | (managedVertices ? 0 : uint32_t(USAGE_DYNAMIC));
    m_indexUsage = baseUsage() | (managedIndices ? 0 : uint32_t(USAGE_DYNAMIC));
    m_vertexBytes = m_layout->m_stride * vertexCount;
    m_vertexCapacity = vertexCount;
    std::vector<Device*>& devices = m_renderer->m_devices;
    for (size_t d = 0; d < devices.size(); ++d)
        if (devices[d]->createVertexBuffer(m_vertexBytes, m_vertexUsage, 0, poolFor(m_vertexUsage),
                                           m_vertexBuffers[d].out()) < 0 ||
            !m_vertexBuffers[d])
            return false;
    // A group of more than 65,536 vertices needs 32-bit indices, or its indices wrap.
    m_indexFormat = vertexCount > 0x10000 ? FMT_INDEX32 : FMT_INDEX16;
    m_indexBytes = indexCount * (m_indexFormat == FMT_INDEX32 ? 4 : 2);
    m_indexCapacity = indexCount;
    for (size_t d = 0; d < devices.size(); ++d)
        if (devices[d]->createIndexBuffer(m_indexBytes, m_indexUsage, m_indexFormat, poolFor(m_indexUsage),
                                          m_indexBuffers[d].out()) < 0 ||
            !m_indexBuffers[d])
            return false;
    m_created = true;
    return true;
}

bool DynamicSurfaceBuffer::updateVertices(const MeshVertex* records, uint32_t count) {
    if (count > m_vertexCapacity) return false;
    m_vertexCount = count;
    uint32_t stride = m_layout->m_stride;
    for (Buffer* buffer : m_vertexBuffers) {
        void* bits = nullptr;
        if (!buffer || buffer->lock(0, 0, &bits, lockFlagsFor(m_vertexUsage)) < 0 || !bits) continue;
        auto* out = static_cast<uint8_t*>(bits);
        for (uint32_t i = 0; i < count; ++i) packVertex(records[i], out + size_t(i) * stride);
        buffer->unlock();
    }
    return true;
}

bool DynamicSurfaceBuffer::updateIndices(const uint32_t* indices, uint32_t count) {
    if ((m_primitiveType != 0 && m_primitiveType != PT_TRIANGLELIST) || count > m_indexCapacity) return false;
    m_indexCount = count;
    m_triangleCount = count / 3;
    m_primitiveType = PT_TRIANGLELIST;
    for (Buffer* buffer : m_indexBuffers) {
        void* bits = nullptr;
        if (!buffer || buffer->lock(0, 0, &bits, lockFlagsFor(m_indexUsage)) < 0 || !bits) continue;
        storeIndices(bits, indices, count);
        buffer->unlock();
    }
    return true;
}

void DynamicSurfaceBuffer::releaseDeviceObjects() {
    for (size_t d = 0; d < m_vertexBuffers.size(); ++d) {
        if (m_vertexUsage & USAGE_DYNAMIC) m_vertexBuffers[d].reset();
        if (m_indexUsage & USAGE_DYNAMIC) m_indexBuffers[d].reset();
    }
}

void DynamicSurfaceBuffer::createDeviceObjects() {
    if (!m_created) return;
    std::vector<Device*>& devices = m_renderer->m_devices;
    for (size_t d = 0; d < devices.size(); ++d) {
        // A failed re-creation leaves the entry null: that device draws nothing of it.
        if ((m_vertexUsage & USAGE_DYNAMIC) && !m_vertexBuffers[d])
            devices[d]->createVertexBuffer(m_vertexBytes, m_vertexUsage, 0, POOL_DEFAULT, m_vertexBuffers[d].out());
        if ((m_indexUsage & USAGE_DYNAMIC) && !m_indexBuffers[d])
            devices[d]->createIndexBuffer(m_indexBytes, m_indexUsage, m_indexFormat, POOL_DEFAULT, m_indexBuffers[d].out());
    }
}
