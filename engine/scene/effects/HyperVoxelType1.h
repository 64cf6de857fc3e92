#pragma once
#include <cstdint>

#include "engine/platform/Ref.h"
#include "engine/scene/effects/HyperVoxel.h"

namespace sys::gfx {
class Buffer;
class Device;
class Texture;
}

// The hypervoxel of "HVObject" type 1: every live particle a stack of
// slices facing the camera through a small volume texture.
class HyperVoxelType1 : public HyperVoxel {
public:
    static constexpr int SLICES = 32;
    static constexpr int VOLUME_SIDE = 32;
    static constexpr uint32_t VERTEX_STRIDE = 24;

    // Makes its device objects on the renderer's current device at once.
    explicit HyperVoxelType1(Renderer* renderer);
    ~HyperVoxelType1() override;

    // The index buffer lives in the default pool: it goes before a reset and
    // comes back after (its content is rewritten by every draw).
    void createDeviceObjects() override;
    void releaseDeviceObjects() override;
    void draw(double time, const Particle* particles, Camera* camera) override;

    // The tumbling texture-coordinate rotation at the time.
    static Matrix4x3 textureTumble(double time);

    Ref<sys::gfx::Buffer> m_vertexBuffer;
    Ref<sys::gfx::Buffer> m_indexBuffer;
    int32_t m_slices = SLICES;
    int32_t m_maxParticles = PARTICLE_RECORDS;
    Ref<sys::gfx::Texture> m_volume;
    // Filled and never drawn.
    Ref<sys::gfx::Texture> m_ramp;
    // The particles drawn by the last draw.
    int32_t m_drawnCount = 0;

private:
    void createIndexBuffer();
    void fillVertices();
    void fillVolume();
    void fillRamp();
    // Not owned: the device the objects were made on.
    sys::gfx::Device* m_device = nullptr;
};
