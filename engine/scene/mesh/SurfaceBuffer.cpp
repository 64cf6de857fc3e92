#include "engine/scene/mesh/SurfaceBuffer.h"

#include <cmath>
#include <cstring>

#include "engine/render/Renderer.h"
#include "engine/render/ViewVolume.h"
#include "engine/scene/materials/ShaderLibrary.h"
#include "engine/scene/materials/TextureStages.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "sys/gfx/Buffer.h"
#include "sys/gfx/Device.h"

using namespace sys::gfx;

namespace {

constexpr uint32_t USAGE_SOFTWAREPROCESSING = 0x10;

} // namespace

SurfaceBuffer::SurfaceBuffer(Renderer* renderer, ::Surface* surface, TextureStages* stages, uint32_t boneInfluences,
                             bool tangents)
    : m_renderer(renderer), m_surface(surface),
      m_layout(std::make_unique<VertexLayout>(renderer, stages, boneInfluences, tangents)),
      m_vertexBuffers(renderer->m_devices.size()), m_indexBuffers(renderer->m_devices.size()) {}

SurfaceBuffer::~SurfaceBuffer() = default;

uint32_t SurfaceBuffer::baseUsage() const {
    return USAGE_WRITEONLY | (m_layout->m_cpuProcessing ? USAGE_SOFTWAREPROCESSING : 0);
}

void SurfaceBuffer::packVertex(const MeshVertex& record, uint8_t* out) const {
    const VertexLayout& layout = *m_layout;
    std::memcpy(out, record.position, 12);
    std::memcpy(out + 12, record.normal, 12);
    if (layout.m_colourOffset != VertexLayout::NO_ELEMENT) {
        int32_t divisor = layout.m_stages->vertexColourScale;
        float scale = divisor > 0 ? 1.0f / float(divisor) : 1.0f;
        uint32_t argb = colorToARGB({record.colour[0] * scale, record.colour[1] * scale, record.colour[2] * scale,
                                     record.colour[3]});
        std::memcpy(out + layout.m_colourOffset, &argb, 4);
    }
    for (uint32_t k = 0; k < layout.m_stageCount; ++k)
        std::memcpy(out + layout.m_stageOffsets[k], record.texCoords[k], layout.m_stageWidths[k] * 4);
    if (layout.m_tangentOffset != VertexLayout::NO_ELEMENT) std::memset(out + layout.m_tangentOffset, 0, 48);
    if (layout.m_boneOffset != VertexLayout::NO_ELEMENT) {
        // The shader paths take a byte per index; the CPU skinning reads the full index.
        for (int i = 0; i < 4; ++i) out[layout.m_boneOffset + i] = uint8_t(record.boneIndices[i] & 0xFF);
        std::memcpy(out + layout.m_boneOffset + 4, record.boneWeights, layout.m_influenceCount * 4);
    }
}

void SurfaceBuffer::computeTangents(std::vector<uint8_t>& packed, const std::vector<uint32_t>& indices,
                                    uint32_t vertexCount) const {
    const VertexLayout& layout = *m_layout;
    if (layout.m_tangentOffset == VertexLayout::NO_ELEMENT) return;
    uint32_t stride = layout.m_stride;
    if (packed.size() < size_t(stride) * vertexCount) return;
    auto at = [&](uint32_t vertex, uint32_t offset) { return reinterpret_cast<float*>(&packed[vertex * stride + offset]); };
    auto u = [&](uint32_t vertex) {
        return layout.m_lastStageOffset == VertexLayout::NO_ELEMENT ? 0.0f : *at(vertex, layout.m_lastStageOffset);
    };
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        uint32_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) continue;
        float du0 = u(i0) - u(i1), du2 = u(i2) - u(i1);
        const float *p0 = at(i0, 0), *p1 = at(i1, 0), *p2 = at(i2, 0);
        float a[3], b[3];
        for (int c = 0; c < 3; ++c) a[c] = (p2[c] - p1[c]) * du0 - (p0[c] - p1[c]) * du2;
        toArray(cross(toPosition(a), toPosition(at(i0, 12))), b);
        normalize(a);
        normalize(b);
        for (uint32_t vertex : {i0, i1, i2}) {
            float* block = at(vertex, layout.m_tangentOffset);
            for (int c = 0; c < 3; ++c) block[c] += b[c], block[3 + c] += a[c];
        }
    }
    for (uint32_t vertex = 0; vertex < vertexCount; ++vertex) {
        float* block = at(vertex, layout.m_tangentOffset);
        float* normal = at(vertex, 12);
        normalize(block);
        normalize(block + 3);
        toArray(cross(toPosition(block), toPosition(block + 3)), block + 6);
        normalize(normal);
        if (dot(toPosition(normal), toPosition(block + 6)) < 0.0f)
            for (int c = 6; c < 9; ++c) block[c] = -block[c];
    }
}

void SurfaceBuffer::storeIndices(void* out, const uint32_t* indices, uint32_t count) const {
    if (m_indexFormat == FMT_INDEX32) {
        std::memcpy(out, indices, size_t(count) * 4);
        return;
    }
    auto* narrow = static_cast<uint16_t*>(out);
    for (uint32_t i = 0; i < count; ++i) narrow[i] = uint16_t(indices[i]);
}

void SurfaceBuffer::draw(ShaderLibrary* shader, double time) {
    Device* device = m_renderer->m_currentDevice;
    size_t current = size_t(m_renderer->m_currentDeviceIndex);
    if (!device || current >= m_vertexBuffers.size()) return;
    device->setSoftwareVertexProcessing(m_layout->m_cpuProcessing);
    shader->m_stages = m_layout->m_stages;
    shader->setObjectState(*m_surface, time);
    device->setVertexDeclaration(m_layout->m_declarations[current]);
    if (shader->activate()) shader->setupSurface(*m_surface, time);
    // Buffers that were never made (a failed creation) draw nothing.
    if (!m_vertexBuffers[current] || !m_indexBuffers[current]) return;
    device->setStreamSource(0, m_vertexBuffers[current], 0, m_layout->m_stride);
    device->setIndices(m_indexBuffers[current]);
    auto drawRun = [&](uint32_t firstIndex, uint32_t indexCount) {
        device->drawIndexedPrimitive(m_primitiveType, 0, 0, m_vertexCount, firstIndex, indexCount / 3);
        m_renderer->countDraw(indexCount / 3);
    };
    if (m_chunks.empty()) {
        drawRun(0, m_triangleCount * 3);
        return;
    }
    // Neighbouring runs in view go to the device as one call.
    const ViewVolume volume(*m_renderer);
    uint32_t first = 0, count = 0;
    for (const Chunk& chunk : m_chunks) {
        if (!volume.sees(chunk.low, chunk.high) || volume.seesOnlyBacks(chunk.facing)) continue;
        if (count > 0 && first + count != chunk.firstIndex) {
            drawRun(first, count);
            count = 0;
        }
        if (count == 0) first = chunk.firstIndex;
        count += chunk.indexCount;
    }
    if (count > 0) drawRun(first, count);
}
