#include "engine/scene/materials/ShaderLibrary.h"

#include <algorithm>
#include <cmath>

#include "engine/platform/Report.h"
#include "engine/platform/images/Texture.h"
#include "engine/render/PixelShader.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderCompiler.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/render/VertexShader.h"
#include "engine/scene/Light.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/materials/TextureStages.h"
#include "sys/gfx/Device.h"
#include "sys/window/MessageBox.h"

namespace gfx = sys::gfx;

ShaderLibrary::ShaderLibrary(Renderer* renderer) : m_renderer(renderer) {}

ShaderLibrary::~ShaderLibrary() { clear(); }

void ShaderLibrary::clear() {
    for (auto& entry : m_variants) {
        delete entry.second.first;
        delete entry.second.second;
    }
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
    m_vertexShader = nullptr;
    m_pixelShader = nullptr;
    if (!m_compiler) return false;
    if (!m_renderer->m_switchFree)
        for (const ShaderValueSet::Record& record : m_renderer->m_switches->records())
            m_compiler->setValue(record.name, record.storage.data(), record.count * 4);
    ShaderCompiler::Output vertex;
    if (!m_compiler->compileShader(vertexEntryPoint(), m_renderer->m_vertexProfile, ShaderCompiler::NO_PRESHADER,
                                   vertex)) {
        showCompileErrors(vertex.errors);
        return false;
    }
    ShaderCompiler::Output pixel;
    if (!m_compiler->compileShader(pixelEntryPoint(), m_renderer->m_pixelProfile, ShaderCompiler::NO_PRESHADER,
                                   pixel)) {
        showCompileErrors(pixel.errors);
        return false;
    }
    // Both or neither: a pair with only its vertex half would draw unbound textures.
    m_vertexShader = new VertexShader(m_renderer, vertex.code.data(), std::move(vertex.constants));
    m_pixelShader = new PixelShader(m_renderer, pixel.code.data(), std::move(pixel.constants));
    return true;
}

void ShaderLibrary::showCompileErrors(const std::string& errors) const {
    if (errors.empty() || g_reportLevel < 2) return;
    ByteBuffer text = errors[0] == '(' ? formatString("\n%s%s", m_name.c_str(), errors.c_str())
                                       : formatString("\n%s", errors.c_str());
    if (g_reportToLog) g_lastErrorText.assign(text);
    else sys::showMessageBox("Parse Error", text.text(), sys::MB_ICON_EXCLAMATION);
}

bool ShaderLibrary::activate() {
    if (!findVariant()) return false;
    m_renderer->m_constants->updateDerivedMatrices();
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setVertexShader(m_vertexShader->currentShader());
    device.setPixelShader(m_pixelShader->currentShader());
    uploadShaderConstants(*m_vertexShader);
    uploadShaderConstants(*m_pixelShader);
    return true;
}

void ShaderLibrary::setupSurface(Surface& surface, double time) {
    if (!m_pixelShader) {
        reportError("no shader set");
        return;
    }
    const std::vector<std::string>& names = m_pixelShader->m_samplerNames;
    for (size_t i = 0; i < names.size(); ++i) bindSampler(uint32_t(i), names[i], surface, time);
}

// Samplers are named after what they read: a channel and a layer digit from
// '0' ("COLR0" is the first COLR layer), "ZIMG0" the reflection image, "CUBE0" the cube map.
void ShaderLibrary::bindSampler(uint32_t sampler, const std::string& name, Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    auto filters = [&](uint32_t mip, uint32_t mag, uint32_t min) {
        device.setSamplerState(sampler, gfx::SAMP_MIPFILTER, mip);
        device.setSamplerState(sampler, gfx::SAMP_MAGFILTER, mag);
        device.setSamplerState(sampler, gfx::SAMP_MINFILTER, min);
    };
    gfx::Texture* texture = nullptr;
    if (name.size() >= 5) {
        const size_t end = name.size();
        const char channel[5] = {name[end - 5], name[end - 4], name[end - 3], name[end - 2], 0};
        const std::string tail = name.substr(end - 5);
        if (TextureLayer* layer = surface.findTextureLayer(lwoId(channel), name[end - 1] - '/')) {
            texture = layer->m_texture->getTexture(time);
            device.setSamplerState(sampler, gfx::SAMP_ADDRESSU, uint32_t(layer->m_addressU));
            device.setSamplerState(sampler, gfx::SAMP_ADDRESSV, uint32_t(layer->m_addressV));
            device.setSamplerState(sampler, gfx::SAMP_MAXANISOTROPY, 8);
            filters(layer->m_antialiasing ? gfx::TEXF_LINEAR : gfx::TEXF_NONE,
                    layer->m_pixelBlending ? gfx::TEXF_LINEAR : gfx::TEXF_POINT,
                    layer->m_pixelBlending ? gfx::TEXF_ANISOTROPIC : gfx::TEXF_POINT);
        } else if (tail == "ZIMG0" || tail == "CUBE0") {
            // Surfaces carry no cube maps, so "CUBE0" binds nothing but its states.
            if (tail == "ZIMG0" && surface.m_reflectionImage) texture = surface.m_reflectionImage->getTexture(time);
            device.setSamplerState(sampler, gfx::SAMP_ADDRESSU, gfx::TADDRESS_WRAP);
            device.setSamplerState(sampler, gfx::SAMP_ADDRESSV, gfx::TADDRESS_WRAP);
            filters(gfx::TEXF_LINEAR, gfx::TEXF_LINEAR, gfx::TEXF_ANISOTROPIC);
        } else {
            texture = bindShadowSampler(sampler, name, surface, time);
        }
    }
    device.setTexture(sampler, texture);
}

// "ZMAP<j>" and "SPOT<j>" read the surface's spot light: its shadow depth and
// its cone picture. A light without them leaves the sampler empty.
gfx::Texture* ShaderLibrary::bindShadowSampler(uint32_t sampler, const std::string& name, Surface& surface,
                                               double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    const Light* spot = surface.m_spotLight;
    for (int j = 0; j < *m_renderer->m_switches->m_numShadows; ++j) {
        const bool depth = name == "ZMAP" + std::to_string(j);
        if (!depth && name != "SPOT" + std::to_string(j)) continue;
        gfx::Texture* texture = nullptr;
        if (depth) {
            ENGINE_ASSERT(spot && spot->m_shadowDepthTexture && "srf->spotLight() != 0 && srf->spotLight()->smDepth != 0");
            if (spot) texture = spot->m_shadowDepthTexture;
        } else {
            ENGINE_ASSERT(spot && spot->m_spotTexture && "srf->spotLight() != 0 && srf->spotLight()->texSpot != 0");
            if (spot && spot->m_spotTexture) texture = spot->m_spotTexture->getTexture(time);
        }
        device.setSamplerState(sampler, gfx::SAMP_ADDRESSU, gfx::TADDRESS_BORDER);
        device.setSamplerState(sampler, gfx::SAMP_ADDRESSV, gfx::TADDRESS_BORDER);
        device.setSamplerState(sampler, gfx::SAMP_BORDERCOLOR, 0);
        device.setSamplerState(sampler, gfx::SAMP_MIPFILTER, depth ? gfx::TEXF_NONE : gfx::TEXF_LINEAR);
        device.setSamplerState(sampler, gfx::SAMP_MAGFILTER, gfx::TEXF_LINEAR);
        device.setSamplerState(sampler, gfx::SAMP_MINFILTER, gfx::TEXF_ANISOTROPIC);
        return texture;
    }
    return nullptr;
}

ShaderLibrary::Blend ShaderLibrary::decideBlend(Surface& surface, double time, TextureLayer* mask) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    const float r = surface.m_reflectivity.evaluate(time);
    if (r != 0.0f && surface.m_reflectionMode == Surface::REFLECT_MIRROR) {
        // Premultiplied: the mirrored scene behind shows through by the reflectivity.
        device.setRenderState(gfx::RS_ZWRITEENABLE, 1);
        device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
        device.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
        device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_ONE);
        device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_INVSRCALPHA);
        return {false, 1.0f - r, 1.0f};
    }
    if (surface.isTransparentAt(time)) {
        const float t = surface.m_transparency.evaluate(time);
        Blend blend{true, 1.0f - surface.m_additiveTransparency.evaluate(time), 1.0f};
        if (!mask || mask->m_opacityType == TextureLayer::OPACITY_MULTIPLY) {
            blend.factor = 1.0f - t;
            blend.alpha *= 1.0f - t;
        }
        return blend;
    }
    device.setRenderState(gfx::RS_ZWRITEENABLE, 1);
    device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    return {false, 1.0f, 1.0f};
}

void ShaderLibrary::setObjectState(Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    ShaderSwitches& switches = *m_renderer->m_switches;
    ShaderConstants& constants = *m_renderer->m_constants;
    TextureLayer* mask = surface.findTextureLayer(TextureLayer::CHANNEL_TRAN, 1);
    const Blend blend = decideBlend(surface, time, mask);
    if (blend.transparent) {
        device.setRenderState(gfx::RS_ZWRITEENABLE, 0);
        device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
        if (mask && surface.m_transparency.evaluate(time) == 0.0f) {
            device.setRenderState(gfx::RS_ZWRITEENABLE, 1);
            device.setRenderState(gfx::RS_ALPHATESTENABLE, 1);
            device.setRenderState(gfx::RS_ALPHAFUNC, gfx::CMP_GREATER);
            device.setRenderState(gfx::RS_ALPHAREF, 0);
        }
        device.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
        device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_ONE);
        device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_INVSRCALPHA);
    }
    if (m_renderer->m_renderPassMarker != 0) device.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    device.setRenderState(gfx::RS_CULLMODE, m_renderer->m_cullMode);
    for (uint32_t s = 0; s < m_renderer->m_hardwareCaps.maxSimultaneousTextures && s < gfx::MAX_STAGES; ++s) {
        device.setTextureStageState(s, gfx::TSS_TEXCOORDINDEX, s);
        device.setTextureStageState(s, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_DISABLE);
    }
    device.setRenderState(gfx::RS_SPECULARENABLE, 0);
    const float specularity = surface.m_specularity.evaluate(time);
    const bool shiny = specularity > 1e-6f;
    *switches.m_specularEnabled = shiny || surface.findTextureLayer(TextureLayer::CHANNEL_SPEC, 1) ? 1 : 0;

    const ColorRGBA c = surface.getColorAt(time);
    const float colour[4] = {c.r * blend.factor, c.g * blend.factor, c.b * blend.factor, blend.alpha};
    std::copy(colour, colour + 4, constants.m_srfColor);
    const float power = shiny ? std::min(std::pow(2.0f, surface.m_glossiness.evaluate(time) * 10.0f + 2.0f), 127.9961f)
                              : 0.0f;
    const float lighting[4] = {surface.m_luminosity.evaluate(time), surface.m_diffuse.evaluate(time), specularity,
                               power};
    std::copy(lighting, lighting + 4, constants.m_srfLighting);
    std::fill(constants.m_srfReflectivity, constants.m_srfReflectivity + 3, surface.m_reflectivity.evaluate(time));
    *constants.m_srfAddTransparency = surface.m_additiveTransparency.evaluate(time);

    const int counted[] = {ShaderSwitches::NUM_COLR, ShaderSwitches::NUM_LUMI, ShaderSwitches::NUM_DIFF,
                           ShaderSwitches::NUM_REFL, ShaderSwitches::NUM_SPEC, ShaderSwitches::NUM_TRAN,
                           ShaderSwitches::NUM_BUMP};
    for (int channel = 0; channel < TextureStages::CHANNELS; ++channel)
        *switches.m_numTex[counted[channel]] = m_stages ? m_stages->channels[channel].count : 0;
    *switches.m_numTex[ShaderSwitches::NUM_TRNL] = 0;
    *switches.m_sphericalEnvmapAvailable = surface.m_reflectionImage ? 1 : 0;
    // Surfaces carry no cube maps.
    *switches.m_cubemapAvailable = 0;
    *constants.m_time = float(time);
    setLayerValues(surface, time);
}

// Four layers per channel fit the shader's families; later ones are not passed.
void ShaderLibrary::setLayerValues(Surface& surface, double time) {
    ShaderSwitches& switches = *m_renderer->m_switches;
    ShaderConstants& constants = *m_renderer->m_constants;
    int seen[TextureStages::CHANNELS] = {};
    for (const auto& layer : surface.m_textureLayers) {
        const uint32_t* id = std::find(TextureStages::CHANNEL_IDS, TextureStages::CHANNEL_IDS + TextureStages::CHANNELS,
                                       layer->m_channel);
        const int channel = int(id - TextureStages::CHANNEL_IDS);
        if (channel >= TextureStages::CHANNELS) continue;
        const int k = seen[channel]++;
        if (k >= int(ShaderSwitches::MAX_LAYERS)) continue;
        const float opacity = layer->m_opacity.evaluate(time);
        if (channel == TextureStages::COLR) std::fill(constants.m_metaTexOpacity[channel] + 3 * k,
                                                      constants.m_metaTexOpacity[channel] + 3 * k + 3, opacity);
        else constants.m_metaTexOpacity[channel][k] = opacity;
        switches.m_metaTexFullOpacity[channel][k] = opacity >= 0.999999f ? 1 : 0;
        switches.m_metaTexBlendop[channel][k] = int32_t(layer->m_opacityType);
        switches.m_metaTexGInput[channel][k] = layer->m_gradientInput;
        if (channel == TextureStages::COLR || channel == TextureStages::LUMI)
            switches.m_metaTexInvert[channel][k] = layer->m_negative ? 1 : 0;
        if (channel == TextureStages::COLR) constants.m_metaTexGParam[channel][4 * k + 3] = 1.0f / layer->m_gradientEnd;
    }
}
