#include "engine/render/PixelShader.h"

#include "engine/platform/Report.h"
#include "engine/render/Renderer.h"
#include "sys/gfx/Device.h"

PixelShader::PixelShader(Renderer* renderer, const uint32_t* function, std::unique_ptr<ShaderConstantTable> constants)
    : ShaderObject(renderer, std::move(constants)) {
    if (m_constants) m_samplerNames = m_constants->samplerNames();
    if (m_samplerNames.size() > MAX_SAMPLERS) m_samplerNames.resize(MAX_SAMPLERS);
    for (size_t i = 0; i < m_shaders.size(); ++i) {
        sys::gfx::Device* device = renderer->m_devices[i];
        if (!device || device->createPixelShader(function, &m_shaders[i]) < 0) m_shaders[i] = nullptr;
    }
    if (!isComplete()) g_logStream << "pixel shader refused by a device" << std::endl;
}
