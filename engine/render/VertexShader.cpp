#include "engine/render/VertexShader.h"

#include "engine/platform/Report.h"
#include "engine/render/Renderer.h"
#include "sys/gfx/Device.h"

VertexShader::VertexShader(Renderer* renderer, const uint32_t* function, std::unique_ptr<ShaderConstantTable> constants)
    : ShaderObject(renderer, std::move(constants)) {
    for (size_t i = 0; i < m_shaders.size(); ++i) {
        sys::gfx::Device* device = renderer->m_devices[i];
        // A refused program leaves the entry null: that device draws the variant with no shader.
        if (!device || device->createVertexShader(function, &m_shaders[i]) < 0) m_shaders[i] = nullptr;
    }
    if (!isComplete()) g_logStream << "vertex shader refused by a device" << std::endl;
}
