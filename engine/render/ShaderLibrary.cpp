#include "engine/render/ShaderLibrary.h"

#include "engine/platform/Report.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderSwitches.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

ShaderLibrary::ShaderLibrary(Renderer* renderer) : m_renderer(renderer) {}

ShaderLibrary::~ShaderLibrary() { clear(); }

void ShaderLibrary::clear() {
    // No variant ever compiles, so every cached pair is a failure marker.
    m_variants.clear();
    m_vertexShader = nullptr;
    m_pixelShader = nullptr;
}

ShaderLibrary::SwitchKey ShaderLibrary::switchKey() const {
    SwitchKey key;
    if (m_renderer->m_switchFree) return key;
    for (const ShaderValueSet::Record& record : m_renderer->m_switches->records())
        for (uint32_t value : record.storage) key.push_back(int32_t(value));
    return key;
}

bool ShaderLibrary::findVariant() {
    auto inserted = m_variants.emplace(switchKey(), ShaderPair{nullptr, nullptr});
    if (!inserted.second) {
        m_vertexShader = inserted.first->second.first;
        m_pixelShader = inserted.first->second.second;
        return m_vertexShader != nullptr;
    }
    if (!compileVariant()) return false;
    inserted.first->second = ShaderPair{m_vertexShader, m_pixelShader};
    return true;
}

bool ShaderLibrary::compileVariant() {
    // The game ships no effect compiler: a variant is a failed compile, and the
    // surface buffer draws with the states set so far.
    m_vertexShader = nullptr;
    m_pixelShader = nullptr;
    return false;
}

bool ShaderLibrary::activate() { return findVariant(); }

void ShaderLibrary::setupSurface(Surface& surface, double time) {
    if (!m_pixelShader) reportError("no shader set");
}

void ShaderLibrary::setObjectState(Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setRenderState(gfx::RS_CULLMODE, m_renderer->m_cullMode);
    for (uint32_t s = 0; s < m_renderer->m_hardwareCaps.maxSimultaneousTextures && s < gfx::MAX_STAGES; ++s) {
        device.setTextureStageState(s, gfx::TSS_TEXCOORDINDEX, s);
        device.setTextureStageState(s, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_DISABLE);
    }
    device.setRenderState(gfx::RS_SPECULARENABLE, 0);
}
