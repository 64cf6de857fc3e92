#include "engine/scene/effects/HyperVoxelType2.h"

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
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
    m_vertices.assign(size_t(m_maxSprites) * CORNERS, MeshVertex{});
    m_indices.assign(size_t(m_maxSprites) * INDICES_PER_QUAD, 0);
    m_sortRecords.assign(size_t(m_maxSprites), SortRecord{});
    if (!m_renderer) return;
    m_buffer = std::make_unique<DynamicSurfaceBuffer>(m_renderer, m_surface.get(), m_stages.get());
    // A buffer the devices refused stays and draws nothing.
    m_buffer->createBuffers(false, false, uint32_t(m_vertices.size()), uint32_t(m_indices.size()));
}

void HyperVoxelType2::createDeviceObjects() {
    if (m_buffer) m_buffer->createDeviceObjects();
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
    for (int i = 0; i < PARTICLE_RECORDS && quads < uint32_t(m_maxSprites); ++i) {
        const Particle& particle = particles[i];
        if (!isDrawable(particle)) continue;
        const float centre[3] = {particle.position.x, particle.position.y, particle.position.z};
        for (int c = 0; c < CORNERS; ++c) {
            MeshVertex& v = m_vertices[quads * CORNERS + c];
            for (int a = 0; a < 3; ++a) {
                v.position[a] = centre[a] + half * (CORNER_SIGNS[c][0] * right[a] + CORNER_SIGNS[c][1] * up[a]);
                v.normal[a] = facing[a];
            }
            v.colour[0] = 1.0f, v.colour[1] = 0.0f, v.colour[2] = 1.0f, v.colour[3] = 1.0f;
            for (float* uvw : v.texCoords) uvw[0] = CORNER_UV[c][0], uvw[1] = CORNER_UV[c][1], uvw[2] = 0.0f;
        }
        for (int k = 0; k < INDICES_PER_QUAD; ++k)
            m_indices[quads * INDICES_PER_QUAD + k] = quads * CORNERS + QUAD_INDICES[k];
        ++quads;
    }
    m_quadCount = int32_t(quads);
    m_buffer->updateVertices(m_vertices.data(), quads * CORNERS);
    m_buffer->updateIndices(m_indices.data(), quads * INDICES_PER_QUAD);
    setTransform(sys::gfx::TS_WORLD, Matrix4x3::identity());
    setTransform(sys::gfx::TS_VIEW, view);
    if (quads > 0 && m_renderer->m_surfaceShader) m_buffer->draw(m_renderer->m_surfaceShader, time);
}
