#include "engine/render/ViewGuard.h"

#include <cstring>

#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "sys/gfx/Device.h"

namespace {

void restore(Renderer& renderer, Matrix4x3& slot, uint32_t transform, const Matrix4x3& saved) {
    slot = saved;
    renderer.m_constants->m_derivedCurrent = false;
    sys::gfx::Matrix matrix;
    std::memcpy(matrix.m, saved.m, sizeof matrix.m);
    renderer.m_currentDevice->setTransform(transform, matrix);
}

} // namespace

ViewGuard::ViewGuard(Renderer& renderer)
    : m_renderer(renderer), m_cullMode(renderer.m_cullMode), m_world(renderer.m_constants->m_world),
      m_view(renderer.m_constants->m_view), m_projection(renderer.m_constants->m_projection) {}

ViewGuard::~ViewGuard() {
    ShaderConstants& constants = *m_renderer.m_constants;
    m_renderer.m_cullMode = m_cullMode;
    restore(m_renderer, constants.m_world, sys::gfx::TS_WORLD, m_world);
    restore(m_renderer, constants.m_view, sys::gfx::TS_VIEW, m_view);
    restore(m_renderer, constants.m_projection, sys::gfx::TS_PROJECTION, m_projection);
}
