#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/platform/Ref.h"
#include "engine/render/FacingBound.h"
#include "engine/scene/mesh/VertexLayout.h"

namespace sys::gfx {
class Buffer;
}
class Renderer;
class ShaderLibrary;
class Surface;
struct TextureStages;
struct MeshVertex;

// The vertices and triangles of one surface group in device buffers, one
// pair per device of the renderer, drawn with a shader of the renderer.
class SurfaceBuffer {
public:
    // Bone influences and the tangent block are for shader paths only; the
    // fixed-function path leaves both off.
    SurfaceBuffer(Renderer* renderer, Surface* surface, TextureStages* stages, uint32_t boneInfluences = 0,
                  bool tangents = false);
    virtual ~SurfaceBuffer();
    SurfaceBuffer(const SurfaceBuffer&) = delete;
    SurfaceBuffer& operator=(const SurfaceBuffer&) = delete;

    // Around a device reset; only default-pool buffers need them.
    virtual void createDeviceObjects() {}
    virtual void releaseDeviceObjects() {}
    void draw(ShaderLibrary* shader, double time);
    virtual bool create() = 0;
    virtual bool setVertices(const MeshVertex* records, uint32_t count) = 0;
    virtual bool setIndices(const uint32_t* indices, uint32_t count) = 0;

    // One record in the layout, into stride bytes at `out`.
    void packVertex(const MeshVertex& record, uint8_t* out) const;
    // Tangent blocks of the packed vertices from the triangles (bump-mapped layouts only).
    void computeTangents(std::vector<uint8_t>& packed, const std::vector<uint32_t>& indices, uint32_t vertexCount) const;
    Surface* getSurface() const { return m_surface; }
    const VertexLayout& getLayout() const { return *m_layout; }

    Renderer* m_renderer;
    Surface* m_surface;
    std::unique_ptr<VertexLayout> m_layout;
    uint32_t m_triangleCount = 0;
    // 0 until indices arrive, then the triangle list.
    uint32_t m_primitiveType = 0;
    uint32_t m_vertexUsage = 0;
    uint32_t m_vertexBytes = 0;
    uint32_t m_vertexCount = 0;
    std::vector<uint8_t> m_packedVertices;
    std::vector<Ref<sys::gfx::Buffer>> m_vertexBuffers;
    uint32_t m_indexBytes = 0;
    uint32_t m_indexUsage = 0;
    uint32_t m_indexFormat = 0;
    uint32_t m_indexCount = 0;
    std::vector<uint32_t> m_indices;
    std::vector<Ref<sys::gfx::Buffer>> m_indexBuffers;
    bool m_created = false;
    // A run of the triangle list lying within one box and facing one way. A
    // large static surface spans the track; split into runs, a view sends only
    // the runs it reaches and whose fronts it can see.
    struct Chunk {
        uint32_t firstIndex;
        uint32_t indexCount;
        Position3 low;
        Position3 high;
        FacingBound facing;
    };
    // Empty when the whole list is drawn in one call.
    std::vector<Chunk> m_chunks;

protected:
    // Write-only, and software-processed when the layout says so.
    uint32_t baseUsage() const;
    // Indices into a locked buffer in the chosen width.
    void storeIndices(void* out, const uint32_t* indices, uint32_t count) const;
};
