#include "engine/scene/mesh/StaticSurfaceBuffer.h"

#include <algorithm>
#include <cmath>
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
    buildChunks();
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

void StaticSurfaceBuffer::buildChunks() {
    m_chunks.clear();
    const uint32_t stride = m_layout->m_stride;
    const uint32_t triangles = uint32_t(m_indices.size() / 3);
    if (triangles < CHUNKED_TRIANGLES || m_packedVertices.size() < size_t(stride) * m_vertexCount) return;
    for (uint32_t index : m_indices)
        if (index >= m_vertexCount) return;
    auto position = [&](uint32_t vertex) {
        Position3 p;
        std::memcpy(&p, &m_packedVertices[size_t(vertex) * stride], sizeof p);
        return p;
    };
    auto grow = [](Position3& low, Position3& high, const Position3& p) {
        for (int c = 0; c < 3; ++c) low[c] = std::fmin(low[c], p[c]), high[c] = std::fmax(high[c], p[c]);
    };
    Position3 low = position(m_indices[0]), high = low;
    for (uint32_t index : m_indices) grow(low, high, position(index));

    // The grid's two axes, cells shaped to the surface's extent on each.
    int axes[3] = {0, 1, 2};
    std::sort(axes, axes + 3, [&](int a, int b) { return high[a] - low[a] > high[b] - low[b]; });
    const float wide = std::fmax(high[axes[0]] - low[axes[0]], 1.0e-6f);
    const float narrow = std::fmax(high[axes[1]] - low[axes[1]], wide * 1.0e-3f);
    const float cells = float(triangles) / float(CHUNK_TRIANGLES);
    const uint32_t across = uint32_t(std::clamp(std::lround(std::sqrt(cells * wide / narrow)), 1L, 64L));
    const uint32_t down = uint32_t(std::clamp(std::lround(cells / float(across)), 1L, 64L));
    auto cellOf = [&](uint32_t t) {
        Position3 centre = {0.0f, 0.0f, 0.0f};
        for (int k = 0; k < 3; ++k) {
            const Position3 p = position(m_indices[t * 3 + k]);
            for (int c = 0; c < 3; ++c) centre[c] += p[c] / 3.0f;
        }
        auto step = [&](int axis, float extent, uint32_t count) {
            float f = (centre[axes[axis]] - low[axes[axis]]) / extent * float(count);
            return std::min(uint32_t(std::fmax(f, 0.0f)), count - 1);
        };
        const uint32_t row = step(1, narrow, down), column = step(0, wide, across);
        // Rows run back and forth, so cells next in the list are neighbours on the ground.
        return row * across + ((row & 1) ? across - 1 - column : column);
    };

    std::vector<uint32_t> cellOfTriangle(triangles), starts(size_t(across) * down + 1, 0);
    for (uint32_t t = 0; t < triangles; ++t) ++starts[(cellOfTriangle[t] = cellOf(t)) + 1];
    for (size_t c = 1; c < starts.size(); ++c) starts[c] += starts[c - 1];
    std::vector<uint32_t> sorted(m_indices.size());
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    for (uint32_t t = 0; t < triangles; ++t) {
        const uint32_t slot = next[cellOfTriangle[t]]++;
        std::copy_n(&m_indices[size_t(t) * 3], 3, &sorted[size_t(slot) * 3]);
    }
    m_indices.swap(sorted);
    renumberVertices();

    // Within a cell, each stretch of triangles facing one way (by the largest
    // part of their normal) is a run of its own: a view behind them all skips
    // it. Distant triangles that overlap come out at equal depths, where the
    // later one shows, so the order stays as it is. Too thin to have a sure
    // normal, a triangle faces no way and its run is never skipped.
    auto facingOf = [&](uint32_t t) {
        const Position3 n = FacingBound::normalOf(position(m_indices[t * 3]), position(m_indices[t * 3 + 1]),
                                                  position(m_indices[t * 3 + 2]));
        if (dot(n, n) == 0.0f) return 6;
        int axis = 0;
        for (int c = 1; c < 3; ++c)
            if (std::fabs(n[c]) > std::fabs(n[axis])) axis = c;
        return axis * 2 + (n[axis] < 0.0f ? 1 : 0);
    };
    std::vector<Position3> corners;
    auto addRun = [&](uint32_t first, uint32_t end) {
        Chunk chunk{first * 3, (end - first) * 3, position(m_indices[first * 3]), {}, {}};
        chunk.high = chunk.low;
        corners.clear();
        for (uint32_t i = chunk.firstIndex; i < chunk.firstIndex + chunk.indexCount; ++i) {
            corners.push_back(position(m_indices[i]));
            grow(chunk.low, chunk.high, corners.back());
        }
        chunk.facing = FacingBound::around(corners.data(), corners.size() / 3);
        m_chunks.push_back(chunk);
    };
    // Stretches shorter than a run's least share one run, facing every way:
    // each run costs a test and, skipped, splits the call.
    for (size_t c = 0; c + 1 < starts.size(); ++c) {
        uint32_t mixed = starts[c];
        for (uint32_t t = starts[c]; t < starts[c + 1];) {
            const int facing = facingOf(t);
            uint32_t end = t + 1;
            while (end < starts[c + 1] && facingOf(end) == facing) ++end;
            if (end - t >= FACING_TRIANGLES) {
                if (mixed < t) addRun(mixed, t);
                addRun(t, end);
                mixed = end;
            }
            t = end;
        }
        if (mixed < starts[c + 1]) addRun(mixed, starts[c + 1]);
    }
}

void StaticSurfaceBuffer::renumberVertices() {
    const uint32_t stride = m_layout->m_stride;
    constexpr uint32_t UNSEEN = ~0u;
    std::vector<uint32_t> renumbered(m_vertexCount, UNSEEN);
    std::vector<uint8_t> packed(m_packedVertices.size());
    uint32_t count = 0;
    auto place = [&](uint32_t vertex) {
        if (renumbered[vertex] != UNSEEN) return;
        std::memcpy(&packed[size_t(count) * stride], &m_packedVertices[size_t(vertex) * stride], stride);
        renumbered[vertex] = count++;
    };
    for (uint32_t index : m_indices) place(index);
    for (uint32_t vertex = 0; vertex < m_vertexCount; ++vertex) place(vertex);
    for (uint32_t& index : m_indices) index = renumbered[index];
    m_packedVertices.swap(packed);
}
