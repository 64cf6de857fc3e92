#include "engine/scene/effects/HyperVoxelType2.h"

#include <algorithm>
#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/ObjectPass.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/materials/TextureStages.h"
#include "engine/scene/mesh/DynamicSurfaceBuffer.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "sys/gfx/Device.h"

namespace {

constexpr int CORNERS = 4;
constexpr int INDICES_PER_QUAD = 6;
// Corner order of a quad: right-top, left-top, right-bottom, left-bottom.
constexpr float CORNER_SIGNS[CORNERS][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
constexpr float CORNER_UV[CORNERS][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
constexpr uint32_t QUAD_INDICES[INDICES_PER_QUAD] = {0, 1, 2, 2, 1, 3};

} // namespace

bool HyperVoxelType2::outOfView(Camera& camera, const Matrix4x3& view, const Particle* particles, float half,
                                const float right[3], const float up[3]) {
    // The bent view of the shaders is not what the plain projection clips.
    if (ObjectPass::s_cylindricalViewAngle > 0.0001f) return false;
    Position3 low = {INFINITY, INFINITY, INFINITY}, high = {-INFINITY, -INFINITY, -INFINITY};
    bool any = false;
    for (int i = 0; i < PARTICLE_RECORDS; ++i) {
        if (!isDrawable(particles[i])) continue;
        const Position3& p = particles[i].position;
        any = true;
        for (int a = 0; a < 3; ++a) low[a] = std::min(low[a], p[a]), high[a] = std::max(high[a], p[a]);
    }
    if (!any) return true;
    // A square reaches this far from its centre along each axis.
    for (int a = 0; a < 3; ++a) {
        float reach = std::fabs(half) * (std::fabs(right[a]) + std::fabs(up[a]));
        low[a] -= reach, high[a] += reach;
    }
    Matrix4x3 toClip;
    multiplyMatrix4x3By4x4(toClip, view, camera.m_projMatrix);
    float corners[8][4];
    for (int i = 0; i < 8; ++i) {
        const float c[3] = {(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
        for (int j = 0; j < 4; ++j)
            corners[i][j] = c[0] * toClip.at(0, j) + c[1] * toClip.at(1, j) + c[2] * toClip.at(2, j) + toClip.at(3, j);
    }
    return camera.isBoxOutside(corners);
}

HyperVoxelType2::HyperVoxelType2(Renderer* renderer) : HyperVoxel(renderer) {}

HyperVoxelType2::~HyperVoxelType2() {
    // The buffer points at the stages and the surface: it goes first.
    m_buffer.reset();
    m_stages.reset();
    m_surface.reset();
}

void HyperVoxelType2::setup() {
    m_maxSprites = PARTICLE_RECORDS;
    if (!m_surface) {
        m_surface = std::make_unique<Surface>(nullptr, "hypervoxel");
        m_surface->m_loaded = true;
        // Squares turn to the camera, so both faces are the front.
        m_surface->m_doubleSided = true;
        for (int c = 0; c < 3; ++c) m_surface->m_colour[c].constant = m_color[c].constant;
        m_surface->m_luminosity.constant = m_luminosity.constant;
        for (std::unique_ptr<TextureLayer>& layer : m_layers) m_surface->addTextureLayer(std::move(layer));
        m_layers.clear();
    }
    m_buffer.reset();
    m_stages = std::make_unique<TextureStages>();
    uint32_t stages = m_renderer ? m_renderer->m_activeCaps.maxSimultaneousTextures : 0;
    m_surface->buildTextureStages(*m_stages, stages ? int(stages) : TextureStages::MAX_STAGES);
    // Only positions and normals change from frame to frame: the rest is written here once.
    MeshVertex corners[CORNERS] = {};
    for (int c = 0; c < CORNERS; ++c) {
        MeshVertex& v = corners[c];
        v.colour[0] = 1.0f, v.colour[1] = 0.0f, v.colour[2] = 1.0f, v.colour[3] = 1.0f;
        for (float* uvw : v.texCoords) uvw[0] = CORNER_UV[c][0], uvw[1] = CORNER_UV[c][1], uvw[2] = 0.0f;
    }
    m_vertices.resize(size_t(m_maxSprites) * CORNERS);
    m_indices.resize(size_t(m_maxSprites) * INDICES_PER_QUAD);
    for (size_t q = 0; q < size_t(m_maxSprites); ++q) {
        std::copy(corners, corners + CORNERS, m_vertices.begin() + std::ptrdiff_t(q * CORNERS));
        for (int k = 0; k < INDICES_PER_QUAD; ++k) m_indices[q * INDICES_PER_QUAD + k] = uint32_t(q * CORNERS) + QUAD_INDICES[k];
    }
    m_uploadedQuads = -1;
    m_sortRecords.assign(size_t(m_maxSprites), SortRecord{});
    if (!m_renderer) return;
    m_buffer = std::make_unique<DynamicSurfaceBuffer>(m_renderer, m_surface.get(), m_stages.get());
    // A buffer the devices refused stays and draws nothing.
    m_buffer->createBuffers(false, false, uint32_t(m_vertices.size()), uint32_t(m_indices.size()));
}

void HyperVoxelType2::createDeviceObjects() {
    if (m_buffer) m_buffer->createDeviceObjects();
    // Buffers made again after a reset hold no indices.
    m_uploadedQuads = -1;
}

void HyperVoxelType2::releaseDeviceObjects() {
    if (m_buffer) m_buffer->releaseDeviceObjects();
}

void HyperVoxelType2::draw(double time, const Particle* particles, Camera* camera) {
    if (!particles || !camera || !m_renderer || !m_renderer->m_currentDevice) return;
    if (!m_buffer) setup();
    if (!m_buffer) return;
    Matrix4x3 view;
    beginDraw(time, *camera, view);
    Matrix4x3 eye;
    camera->getMatrix(eye, time, 1);
    const float right[3] = {-eye.at(0, 0), -eye.at(0, 1), -eye.at(0, 2)};
    const float up[3] = {eye.at(1, 0), eye.at(1, 1), eye.at(1, 2)};
    const float facing[3] = {eye.at(2, 0), eye.at(2, 1), eye.at(2, 2)};
    float half = 0.5f * m_particleSize.constant;

    uint32_t quads = 0;
    const bool seen = !outOfView(*camera, view, particles, half, right, up);
    for (int i = 0; seen && i < PARTICLE_RECORDS && quads < uint32_t(m_maxSprites); ++i) {
        const Particle& particle = particles[i];
        if (!isDrawable(particle)) continue;
        const float centre[3] = {particle.position.x, particle.position.y, particle.position.z};
        for (int c = 0; c < CORNERS; ++c) {
            MeshVertex& v = m_vertices[quads * CORNERS + c];
            for (int a = 0; a < 3; ++a) {
                v.position[a] = centre[a] + half * (CORNER_SIGNS[c][0] * right[a] + CORNER_SIGNS[c][1] * up[a]);
                v.normal[a] = facing[a];
            }
        }
        ++quads;
    }
    m_quadCount = int32_t(quads);
    m_buffer->updateVertices(m_vertices.data(), quads * CORNERS);
    // The indices never change, only how many are drawn.
    if (m_uploadedQuads != int32_t(quads)) m_buffer->updateIndices(m_indices.data(), quads * INDICES_PER_QUAD);
    m_uploadedQuads = int32_t(quads);
    setTransform(sys::gfx::TS_WORLD, Matrix4x3::identity());
    setTransform(sys::gfx::TS_VIEW, view);
    if (quads > 0 && m_renderer->m_surfaceShader) m_buffer->draw(m_renderer->m_surfaceShader, time);
}
