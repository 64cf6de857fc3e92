#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/scene/effects/HyperVoxel.h"

class DynamicSurfaceBuffer;
class Surface;
class TextureStages;
struct MeshVertex;

// The hypervoxel of "HVObject" type 2: every live particle a square facing
// the camera, drawn through a surface buffer with the surface shader.
class HyperVoxelType2 : public HyperVoxel {
public:
    explicit HyperVoxelType2(Renderer* renderer);
    ~HyperVoxelType2() override;

    // The stages, the buffer and the arrays; made by the first draw when
    // nobody asked before. Without a surface of its own the hypervoxel gets
    // one from its texture layers, which then move into it.
    void setup();
    void createDeviceObjects() override;
    void releaseDeviceObjects() override;
    void draw(double time, const Particle* particles, Camera* camera) override;

    struct SortRecord {
        uint32_t values[3];
    };

    std::unique_ptr<Surface> m_surface;
    int32_t m_maxSprites = PARTICLE_RECORDS;
    // Kept for a depth sort that never came.
    std::vector<SortRecord> m_sortRecords;
    std::vector<MeshVertex> m_vertices;
    std::vector<uint32_t> m_indices;
    std::unique_ptr<DynamicSurfaceBuffer> m_buffer;
    std::unique_ptr<TextureStages> m_stages;
    // The quads of the last draw.
    int32_t m_quadCount = 0;

private:
    // True when every square lies outside the camera's view: clipping would
    // leave nothing of them, so they are not built at all.
    static bool outOfView(Camera& camera, const Matrix4x3& view, const Particle* particles, float half,
                          const float right[3], const float up[3]);

    // The quads the device's index buffer was last filled for; -1: none.
    int32_t m_uploadedQuads = -1;
};
