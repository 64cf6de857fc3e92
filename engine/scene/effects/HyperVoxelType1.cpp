#include "engine/scene/effects/HyperVoxelType1.h"

#include <cmath>
#include <cstring>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "sys/gfx/Buffer.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/Texture.h"

using namespace sys::gfx;

namespace {

constexpr int QUAD_CORNERS = 4;
constexpr int INDICES_PER_QUAD = 6;
constexpr uint32_t VERTEX_FORMAT = FVF_XYZ | (1u << FVF_TEXCOUNT_SHIFT) | fvfTexCoordSize3(0);
constexpr uint32_t INDEX_BYTES =
    uint32_t(HyperVoxelType1::SLICES * HyperVoxel::PARTICLE_RECORDS * INDICES_PER_QUAD * sizeof(uint16_t));
// The volume's content tumbles 14 degrees a second about each axis (in radians here).
constexpr double TUMBLE_RATE = 14.0 * 0.017453292519943295;
constexpr int RAMP_SIDE = 32;

struct SliceVertex {
    float x, y, z, u, v, w;
};

// Rotation about one axis (0 x, 1 y, 2 z), row vectors.
Matrix4x3 axisRotation(int axis, float angle) {
    Matrix4x3 m = Matrix4x3::identity();
    int a = (axis + 1) % 3, b = (axis + 2) % 3;
    float c = std::cos(angle), s = std::sin(angle);
    m.at(a, a) = c, m.at(a, b) = s;
    m.at(b, a) = -s, m.at(b, b) = c;
    return m;
}

Matrix4x3 translation(float x, float y, float z) {
    Matrix4x3 m = Matrix4x3::identity();
    m.at(3, 0) = x, m.at(3, 1) = y, m.at(3, 2) = z;
    return m;
}

Matrix4x3 product(const Matrix4x3& a, const Matrix4x3& b) {
    Matrix4x3 out;
    multiplyMatrix4x4(out, a, b);
    return out;
}

// Turns the slices' +z towards the eye and puts them on the particle.
Matrix4x3 facingWorld(const Position3& particle, const Position3& eye) {
    float dx = eye.x - particle.x, dy = eye.y - particle.y, dz = eye.z - particle.z;
    float heading = std::atan2(dx, dz);
    float pitch = std::atan2(dy, std::sqrt(dx * dx + dz * dz));
    // Looking up is positive pitch here, the opposite of the x rotation's sense.
    Matrix4x3 world = product(axisRotation(0, -pitch), axisRotation(1, heading));
    world.at(3, 0) = particle.x, world.at(3, 1) = particle.y, world.at(3, 2) = particle.z;
    return world;
}

} // namespace

HyperVoxelType1::HyperVoxelType1(Renderer* renderer) : HyperVoxel(renderer) {
    m_device = renderer ? renderer->m_currentDevice : nullptr;
    if (!m_device) return;
    m_device->createVertexBuffer(SLICES * QUAD_CORNERS * VERTEX_STRIDE, USAGE_WRITEONLY, VERTEX_FORMAT, POOL_MANAGED,
                                 m_vertexBuffer.out());
    createIndexBuffer();
    m_device->createVolumeTexture(VOLUME_SIDE, VOLUME_SIDE, VOLUME_SIDE, 1, 0, FMT_A8R8G8B8, POOL_MANAGED,
                                  m_volume.out());
    m_device->createTexture(RAMP_SIDE, RAMP_SIDE, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, m_ramp.out());
    fillVertices();
    fillVolume();
    fillRamp();
}

HyperVoxelType1::~HyperVoxelType1() = default;

void HyperVoxelType1::createIndexBuffer() {
    if (m_indexBuffer || !m_device) return;
    m_device->createIndexBuffer(INDEX_BYTES, USAGE_DYNAMIC | USAGE_WRITEONLY, FMT_INDEX16, POOL_DEFAULT,
                                m_indexBuffer.out());
}

void HyperVoxelType1::createDeviceObjects() { createIndexBuffer(); }

void HyperVoxelType1::releaseDeviceObjects() { m_indexBuffer.reset(); }

void HyperVoxelType1::fillVertices() {
    void* bits = nullptr;
    if (!m_vertexBuffer || m_vertexBuffer->lock(0, 0, &bits, 0) < 0 || !bits) return;
    auto* out = static_cast<SliceVertex*>(bits);
    for (int i = 0; i < SLICES; ++i) {
        float z = (float(i) - 16.0f + 0.5f) / 32.0f;
        float w = z + 0.5f;
        out[i * 4 + 0] = {0.5f, 0.5f, z, 1.0f, 1.0f, w};
        out[i * 4 + 1] = {-0.5f, 0.5f, z, 0.0f, 1.0f, w};
        out[i * 4 + 2] = {0.5f, -0.5f, z, 1.0f, 0.0f, w};
        out[i * 4 + 3] = {-0.5f, -0.5f, z, 0.0f, 0.0f, w};
    }
    m_vertexBuffer->unlock();
}

void HyperVoxelType1::fillVolume() {
    LockedBox box{};
    if (!m_volume || m_volume->lockBox(0, box, nullptr, 0) < 0 || !box.bits) return;
    auto* base = static_cast<uint8_t*>(box.bits);
    // Three coloured planes crossing in the middle of the box: enough to see it turn.
    for (int z = 0; z < VOLUME_SIDE; ++z)
        for (int y = 0; y < VOLUME_SIDE; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(base + size_t(z) * box.slicePitch + size_t(y) * box.rowPitch);
            for (int x = 0; x < VOLUME_SIDE; ++x) {
                bool inside = x >= 8 && x <= 23 && y >= 8 && y <= 23 && z >= 8 && z <= 23;
                uint32_t texel = 0;
                if (inside && (x == 16 || y == 16 || z == 16))
                    texel = 0xFF000000u | (z == 16 ? 0xFF0000u : 0) | (y == 16 ? 0xFF00u : 0) | (x == 16 ? 0xFFu : 0);
                row[x] = texel;
            }
        }
    m_volume->unlockBox(0);
}

void HyperVoxelType1::fillRamp() {
    LockedRect rect{};
    if (!m_ramp || m_ramp->lockRect(0, rect, nullptr, 0) < 0 || !rect.bits) return;
    auto* base = static_cast<uint8_t*>(rect.bits);
    for (int y = 0; y < RAMP_SIDE; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(base + size_t(y) * rect.pitch);
        for (int x = 0; x < RAMP_SIDE; ++x) {
            uint32_t i = uint32_t(y * RAMP_SIDE + x);
            row[x] = 0xFF000000u | (i * i);
        }
    }
    m_ramp->unlockRect(0);
}

Matrix4x3 HyperVoxelType1::textureTumble(double time) {
    float angle = float(time * TUMBLE_RATE);
    Matrix4x3 m = translation(-0.5f, -0.5f, -0.5f);
    for (int axis = 0; axis < 3; ++axis) m = product(m, axisRotation(axis, angle));
    return product(m, translation(0.5f, 0.5f, 0.5f));
}

void HyperVoxelType1::draw(double time, const Particle* particles, Camera* camera) {
    m_drawnCount = 0;
    // Objects made on one device draw only there.
    if (!particles || !camera || !m_device || m_renderer->m_currentDevice != m_device) return;
    Device& device = *m_device;
    Matrix4x3 view;
    beginDraw(time, *camera, view);

    int alive[PARTICLE_RECORDS];
    int aliveCount = 0;
    for (int i = 0; i < PARTICLE_RECORDS; ++i)
        if (isDrawable(particles[i])) alive[aliveCount++] = i;
    void* bits = nullptr;
    bool filled = m_indexBuffer && m_indexBuffer->lock(0, 0, &bits, LOCK_DISCARD) >= 0 && bits;
    if (filled) {
        auto* out = static_cast<uint16_t*>(bits);
        for (int a = 0; a < aliveCount; ++a)
            for (int s = 0; s < SLICES; ++s) {
                uint16_t* quad = out + (size_t(a) * SLICES + s) * INDICES_PER_QUAD;
                uint16_t first = uint16_t(4 * s);
                quad[0] = first, quad[1] = uint16_t(first + 1), quad[2] = uint16_t(first + 2);
                quad[3] = uint16_t(first + 2), quad[4] = uint16_t(first + 1), quad[5] = uint16_t(first + 3);
            }
        m_indexBuffer->unlock();
    }

    device.setStreamSource(0, m_vertexBuffer, 0, VERTEX_STRIDE);
    device.setIndices(m_indexBuffer);
    device.setVertexShader(nullptr);
    device.setFVF(VERTEX_FORMAT);
    device.setRenderState(RS_CULLMODE, CULL_NONE);
    setTransform(TS_TEXTURE0, textureTumble(time));
    device.setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT3);
    setTransform(TS_VIEW, view);
    setTransform(TS_PROJECTION, camera->m_projMatrix);
    device.setRenderState(RS_ZWRITEENABLE, 0);
    device.setRenderState(RS_ALPHABLENDENABLE, 1);
    device.setRenderState(RS_SRCBLEND, BLEND_ONE);
    device.setRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    device.setTexture(0, m_volume);
    device.setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    device.setTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
    device.setTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    device.setTextureStageState(0, TSS_ALPHAOP, TOP_SELECTARG1);
    device.setTextureStageState(0, TSS_ALPHAARG1, TA_TEXTURE);
    device.setTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
    device.setTextureStageState(1, TSS_COLOROP, TOP_DISABLE);
    for (uint32_t address : {SAMP_ADDRESSU, SAMP_ADDRESSV, SAMP_ADDRESSW})
        device.setSamplerState(0, address, TADDRESS_CLAMP);

    if (filled && m_vertexBuffer) {
        Matrix4x3 eyeMatrix;
        camera->getMatrix(eyeMatrix, time, 1);
        Position3 eye = {eyeMatrix.at(3, 0), eyeMatrix.at(3, 1), eyeMatrix.at(3, 2)};
        // Each stack stands on its own particle, facing the eye from there.
        for (int a = 0; a < aliveCount; ++a) {
            setTransform(TS_WORLD, facingWorld(particles[alive[a]].position, eye));
            device.drawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, SLICES * QUAD_CORNERS,
                                        uint32_t(a * SLICES * INDICES_PER_QUAD), uint32_t(2 * SLICES));
            m_renderer->countDraw(uint32_t(2 * SLICES));
        }
        m_drawnCount = aliveCount;
    }

    device.setRenderState(RS_ALPHABLENDENABLE, 0);
    // Whatever draws next expects depth writes, its culling and plain coordinates.
    device.setRenderState(RS_ZWRITEENABLE, 1);
    device.setRenderState(RS_CULLMODE, m_renderer->m_cullMode);
    device.setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_DISABLE);
}
