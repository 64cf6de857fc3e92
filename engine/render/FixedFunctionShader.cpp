#include "engine/render/FixedFunctionShader.h"

#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

bool FixedFunctionShader::activate() {
    m_renderer->m_constants->updateDerivedMatrices();
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    return true;
}

void FixedFunctionShader::setObjectState(Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setRenderState(gfx::RS_ZWRITEENABLE, 1);
    device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    gfx::Material material{};
    material.diffuse = material.ambient = gfx::ColorValue{1.0f, 1.0f, 1.0f, 1.0f};
    material.specular = gfx::ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    material.emissive = gfx::ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    device.setMaterial(material);
    device.setRenderState(gfx::RS_CULLMODE, m_renderer->m_cullMode);
    device.setRenderState(gfx::RS_SPECULARENABLE, 0);
    device.setRenderState(gfx::RS_NORMALIZENORMALS, 1);
}

void FixedFunctionShader::setupSurface(Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setTexture(0, nullptr);
    device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
}
