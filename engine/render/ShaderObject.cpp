#include "engine/render/ShaderObject.h"

#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"

ShaderObject::ShaderObject(Renderer* renderer, std::unique_ptr<ShaderConstantTable> constants)
    : m_renderer(renderer), m_constants(std::move(constants)), m_shaders(renderer->m_devices.size(), nullptr) {}

const void* ShaderObject::currentShader() const {
    size_t current = size_t(m_renderer->m_currentDeviceIndex);
    return current < m_shaders.size() ? m_shaders[current] : nullptr;
}

bool ShaderObject::isComplete() const {
    for (void* shader : m_shaders)
        if (!shader) return false;
    return !m_shaders.empty();
}

namespace {

void uploadRecords(ShaderConstantTable& table, sys::gfx::Device& device, const ShaderValueSet& values) {
    // Records the program does not declare are refused by the table and skipped.
    for (const ShaderValueSet::Record& record : values.records())
        table.setValue(device, record.name, record.storage.data(), record.count * 4);
}

} // namespace

void uploadShaderConstants(ShaderObject& shader) {
    Renderer& renderer = *shader.m_renderer;
    if (!shader.m_constants || !renderer.m_currentDevice) return;
    sys::gfx::Device& device = *renderer.m_currentDevice;
    shader.m_constants->setDefaults(device);
    uploadRecords(*shader.m_constants, device, *renderer.m_constants);
    if (renderer.m_switchFree) uploadRecords(*shader.m_constants, device, *renderer.m_switches);
}
