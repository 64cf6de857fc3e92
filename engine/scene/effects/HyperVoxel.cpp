#include "engine/scene/effects/HyperVoxel.h"

#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Camera.h"
#include "engine/scene/ScenePasses.h"
#include "engine/scene/materials/TextureLayer.h"
#include "sys/gfx/Device.h"

HyperVoxel::HyperVoxel(Renderer* renderer) : m_renderer(renderer) {}

HyperVoxel::~HyperVoxel() {
    m_layers.clear();
    forEachValue([](AnimatedValue& value) { value.clearChannel(); });
}

template <typename Visit> void HyperVoxel::forEachValue(Visit visit) {
    for (AnimatedValue* value : {&m_dissolve, &m_particleSize, &m_sizeVariation, &m_luminosity, &m_opacity,
                                 &m_density, &m_color[0], &m_color[1], &m_color[2], &m_nearClip, &m_stretchAmount,
                                 &m_textureAmplitude})
        visit(*value);
}

void HyperVoxel::evaluate(double time) {
    forEachValue([time](AnimatedValue& value) { value.evaluate(time); });
}

void HyperVoxel::beginDraw(double time, Camera& camera, Matrix4x3& view) {
    if (!camera.m_projValid) camera.updateProjMatrix(time);
    camera.getInvMatrix(view, time, 1);
    evaluate(time);
}

void HyperVoxel::setTransform(uint32_t type, const Matrix4x3& matrix) {
    ShaderConstants& constants = *m_renderer->m_constants;
    if (type == sys::gfx::TS_WORLD) constants.m_world = matrix;
    else if (type == sys::gfx::TS_VIEW) constants.m_view = matrix;
    else if (type == sys::gfx::TS_PROJECTION) constants.m_projection = matrix;
    constants.m_derivedCurrent = false;
    ScenePasses::setTransform(*m_renderer->m_currentDevice, type, matrix);
}

bool HyperVoxel::isDrawable(const Particle& particle) {
    return particle.alive && std::isfinite(particle.position.x) && std::isfinite(particle.position.y) &&
           std::isfinite(particle.position.z);
}
