#include "engine/scene/materials/AdditiveShader.h"

#include <algorithm>

#include "engine/render/Renderer.h"
#include "engine/render/ShaderSwitches.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

void AdditiveShader::setObjectState(Surface& surface, double time) {
    ShaderLibrary::setObjectState(surface, time);
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
    device.setRenderState(gfx::RS_ZWRITEENABLE, 0);
    device.setRenderState(gfx::RS_ZENABLE, 0);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
    device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_ONE);
    device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_ONE);
    device.setRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
}

std::string AdditiveShader::vertexEntryPoint() const {
    const ShaderSwitches& s = *m_renderer->m_switches;
    return std::string("vshader") + (*s.m_isFogEnabled ? "F" : "") + std::to_string(std::min(*s.m_numShadows, 8));
}
