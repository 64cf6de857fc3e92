#include "engine/scene/materials/OpaqueShader.h"

#include "engine/render/Renderer.h"
#include "sys/gfx/Device.h"

void OpaqueShader::setObjectState(Surface& surface, double time) {
    ShaderLibrary::setObjectState(surface, time);
    m_renderer->m_currentDevice->setRenderState(sys::gfx::RS_DESTBLEND, sys::gfx::BLEND_ZERO);
}
