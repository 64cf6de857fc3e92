#include "engine/scene/materials/FixedFunctionShader.h"

#include <algorithm>
#include <cmath>

#include "engine/platform/Report.h"
#include "engine/platform/images/Texture.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Light.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/materials/TextureStages.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

namespace {

constexpr float SPECULAR_THRESHOLD = 1e-6f;

uint32_t complementIf(bool negative) { return uint32_t(gfx::TA_TEXTURE) | (negative ? uint32_t(gfx::TA_COMPLEMENT) : 0u); }

void setStage(gfx::Device& device, uint32_t stage, uint32_t colourOp, uint32_t colourArg1, uint32_t colourArg2,
              uint32_t alphaOp, uint32_t alphaArg1, uint32_t alphaArg2) {
    device.setTextureStageState(stage, gfx::TSS_COLOROP, colourOp);
    device.setTextureStageState(stage, gfx::TSS_COLORARG1, colourArg1);
    device.setTextureStageState(stage, gfx::TSS_COLORARG2, colourArg2);
    device.setTextureStageState(stage, gfx::TSS_ALPHAOP, alphaOp);
    device.setTextureStageState(stage, gfx::TSS_ALPHAARG1, alphaArg1);
    device.setTextureStageState(stage, gfx::TSS_ALPHAARG2, alphaArg2);
}

void blendStates(gfx::Device& device, uint32_t zWrite, uint32_t alphaTest, uint32_t alphaBlend) {
    device.setRenderState(gfx::RS_ZWRITEENABLE, zWrite);
    device.setRenderState(gfx::RS_ALPHATESTENABLE, alphaTest);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, alphaBlend);
}

gfx::ColorValue scaled(const ColorRGBA& c, float k, float alpha) { return {c.r * k, c.g * k, c.b * k, alpha}; }

} // namespace

bool FixedFunctionShader::activate() {
    m_renderer->m_constants->updateDerivedMatrices();
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    return true;
}

TextureLayer* FixedFunctionShader::firstLayer(int channel) const {
    if (!m_stages) return nullptr;
    const TextureStages::Range& range = m_stages->channels[channel];
    if (range.count < 1 || range.first >= TextureStages::MAX_STAGES) return nullptr;
    return m_stages->layers[range.first];
}

void FixedFunctionShader::setObjectState(Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    const bool layers = m_renderer->m_textureLayers;
    const bool vertexColours = m_stages && m_stages->vertexColourLayer;
    TextureLayer* colourLayer = layers ? firstLayer(TextureStages::COLR) : nullptr;
    ColorRGBA c = {1.0f, 1.0f, 1.0f, 1.0f};
    if (!vertexColours && (!colourLayer || colourLayer->m_opacityType == TextureLayer::OPACITY_MULTIPLY))
        c = surface.getColorAt(time);
    const float highlights = surface.m_colourHighlights.evaluate(time);
    ColorRGBA specular = {1.0f - (1.0f - c.r) * highlights, 1.0f - (1.0f - c.g) * highlights,
                          1.0f - (1.0f - c.b) * highlights, 1.0f};
    if (m_renderer->m_greyMaterial) {
        c = {0.9f, 0.9f, 0.9f, 1.0f};
        specular = {0.0f, 0.0f, 0.0f, 1.0f};
    }

    TextureLayer* mask = layers ? firstLayer(TextureStages::TRAN) : nullptr;
    const Blend blend = decideBlend(surface, time, mask);
    if (blend.transparent) transparentStates(surface, time, mask);
    const float alpha = blend.alpha;
    c = {c.r * blend.factor, c.g * blend.factor, c.b * blend.factor, c.a};

    const float diffuse = surface.m_diffuse.evaluate(time);
    const float luminosity = surface.m_luminosity.evaluate(time);
    const float specularity = surface.m_specularity.evaluate(time);
    const float glossiness = surface.m_glossiness.evaluate(time);
    const uint32_t fromVertices = gfx::MCS_COLOR1;
    device.setRenderState(gfx::RS_AMBIENTMATERIALSOURCE,
                          vertexColours && diffuse > 0.5f ? fromVertices : uint32_t(gfx::MCS_MATERIAL));
    device.setRenderState(gfx::RS_DIFFUSEMATERIALSOURCE,
                          vertexColours && diffuse > 0.5f ? fromVertices : uint32_t(gfx::MCS_MATERIAL));
    device.setRenderState(gfx::RS_EMISSIVEMATERIALSOURCE,
                          vertexColours && luminosity > 0.5f ? fromVertices : uint32_t(gfx::MCS_MATERIAL));

    gfx::Material material{};
    material.diffuse = scaled(c, diffuse, alpha);
    material.ambient = scaled(c, diffuse, alpha);
    material.specular = scaled(specular, specularity, specular.a);
    material.emissive = scaled(c, luminosity, c.a);
    const bool shiny = specularity > SPECULAR_THRESHOLD;
    material.power = shiny ? std::min(std::pow(2.0f, glossiness * 10.0f + 2.0f), 255.0f) : 0.0f;
    device.setMaterial(material);

    const bool specularStage = layers && firstLayer(TextureStages::SPEC);
    device.setRenderState(gfx::RS_CULLMODE, m_renderer->m_cullMode);
    device.setRenderState(gfx::RS_SPECULARENABLE, shiny && !specularStage ? 1 : 0);
    device.setRenderState(gfx::RS_NORMALIZENORMALS, 1);
}

void FixedFunctionShader::transparentStates(Surface& surface, double time, TextureLayer* mask) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    const float t = surface.m_transparency.evaluate(time);
    const bool oneBitAlpha = mask && mask->m_texture && (mask->m_texture->getFlags() & Texture::ONE_BIT_ALPHA);
    const bool cutOut = oneBitAlpha || (mask && t == 0.0f);
    blendStates(device, cutOut ? 1 : 0, cutOut ? 1 : 0, oneBitAlpha ? 0 : 1);
    if (cutOut) {
        device.setRenderState(gfx::RS_ALPHAFUNC, gfx::CMP_GREATER);
        device.setRenderState(gfx::RS_ALPHAREF, 127);
    }
    if (!oneBitAlpha) {
        device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_SRCALPHA);
        device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_INVSRCALPHA);
    }
    if (surface.m_additiveTransparency.evaluate(time) != 0.0f) {
        device.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
        device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_ONE);
        device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_INVSRCALPHA);
    }
}

void FixedFunctionShader::setupLayerStage(uint32_t stage, TextureLayer& layer, uint32_t borderColour, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setSamplerState(stage, gfx::SAMP_ADDRESSU, uint32_t(layer.m_addressU));
    device.setSamplerState(stage, gfx::SAMP_ADDRESSV, uint32_t(layer.m_addressV));
    if (layer.m_addressU == TextureLayer::ADDRESS_BORDER || layer.m_addressV == TextureLayer::ADDRESS_BORDER)
        device.setSamplerState(stage, gfx::SAMP_BORDERCOLOR, borderColour);
    device.setSamplerState(stage, gfx::SAMP_MIPFILTER, layer.m_antialiasing ? gfx::TEXF_LINEAR : gfx::TEXF_NONE);
    device.setSamplerState(stage, gfx::SAMP_MAGFILTER, layer.m_pixelBlending ? gfx::TEXF_LINEAR : gfx::TEXF_POINT);
    device.setSamplerState(stage, gfx::SAMP_MINFILTER, layer.m_pixelBlending ? gfx::TEXF_ANISOTROPIC : gfx::TEXF_POINT);
    device.setSamplerState(stage, gfx::SAMP_MAXANISOTROPY, uint32_t(layer.m_antialiasStrength));
    if (layer.hasAnimatedTransform()) animatedTransform(stage, layer, time);
    else device.setTextureStageState(stage, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_DISABLE);
    device.setTexture(stage, layer.m_texture ? layer.m_texture->getTexture(time) : nullptr);
}

void FixedFunctionShader::setupSurface(Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    if (!m_renderer->m_textureLayers || m_renderer->m_greyMaterial || !m_stages) {
        device.setTexture(0, nullptr);
        device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
        return;
    }
    const TextureStages& stages = *m_stages;
    uint32_t s = 0;
    auto layersOf = [&](int channel, int most) {
        const TextureStages::Range& range = stages.channels[channel];
        return std::max(0, std::min({range.count, most, TextureStages::MAX_STAGES - range.first}));
    };
    auto layerAt = [&](int channel, int k) { return stages.layers[stages.channels[channel].first + k]; };

    const ColorRGBA colour = surface.getColorAt(time);
    const uint32_t border = colorToARGB(colour);
    const uint32_t modulate[3] = {gfx::TOP_MODULATE, gfx::TOP_MODULATE2X, gfx::TOP_MODULATE4X};
    for (int k = 0; k < layersOf(TextureStages::COLR, TextureStages::MAX_STAGES) && s < gfx::MAX_STAGES; ++k) {
        TextureLayer& layer = *layerAt(TextureStages::COLR, k);
        setupLayerStage(s, layer, border, time);
        const int first = stages.channels[TextureStages::COLR].first;
        device.setTextureStageState(s, gfx::TSS_TEXCOORDINDEX, uint32_t(first + k));
        setStage(device, s, modulate[std::clamp(stages.colourShift[first + k], 0, 2)], complementIf(layer.m_negative),
                 gfx::TA_CURRENT, gfx::TOP_SELECTARG1, gfx::TA_CURRENT, gfx::TA_CURRENT);
        ++s;
    }
    const int vertexShift = stages.colourShift[TextureStages::VERTEX_COLOUR_SHIFT];
    if (vertexShift > 0 && s < gfx::MAX_STAGES) {
        // Brightens what the vertex colours darkened to fit their range.
        device.setRenderState(gfx::RS_TEXTUREFACTOR, 0xFF000000);
        setStage(device, s, vertexShift == 1 ? gfx::TOP_MODULATE2X : gfx::TOP_MODULATE4X,
                 gfx::TA_TFACTOR | gfx::TA_ALPHAREPLICATE, gfx::TA_CURRENT, gfx::TOP_SELECTARG1,
                 gfx::TA_CURRENT, gfx::TA_CURRENT);
        ++s;
    }
    for (int k = 0; k < layersOf(TextureStages::DIFF, TextureStages::MAX_STAGES) && s < gfx::MAX_STAGES; ++k) {
        TextureLayer& layer = *layerAt(TextureStages::DIFF, k);
        setupLayerStage(s, layer, 0, time);
        device.setTextureStageState(s, gfx::TSS_TEXCOORDINDEX, uint32_t(stages.channels[TextureStages::DIFF].first + k));
        setStage(device, s, gfx::TOP_MODULATE2X, complementIf(layer.m_negative), gfx::TA_CURRENT, gfx::TOP_MODULATE,
                 gfx::TA_TEXTURE, gfx::TA_CURRENT);
        ++s;
    }
    if (layersOf(TextureStages::SPEC, 1) && s < gfx::MAX_STAGES) {
        TextureLayer& layer = *layerAt(TextureStages::SPEC, 0);
        setupLayerStage(s, layer, 0, time);
        device.setTextureStageState(s, gfx::TSS_TEXCOORDINDEX, uint32_t(stages.channels[TextureStages::SPEC].first));
        device.setTextureStageState(s, gfx::TSS_COLORARG0, gfx::TA_CURRENT);
        setStage(device, s, gfx::TOP_MULTIPLYADD, gfx::TA_SPECULAR, complementIf(layer.m_negative),
                 gfx::TOP_SELECTARG1, gfx::TA_CURRENT, gfx::TA_SPECULAR);
        ++s;
    }
    if (surface.m_reflectionImage && surface.m_reflectionMode == Surface::REFLECT_SPHERICAL &&
        m_renderer->m_sphericalReflection && s < gfx::MAX_STAGES) {
        sphericalReflectionStage(s, surface, time);
        ++s;
    }
    if (layersOf(TextureStages::TRAN, 1) && s < gfx::MAX_STAGES) {
        TextureLayer& layer = *layerAt(TextureStages::TRAN, 0);
        setupLayerStage(s, layer, 0, time);
        device.setTextureStageState(s, gfx::TSS_TEXCOORDINDEX, uint32_t(stages.channels[TextureStages::TRAN].first));
        // The colour passes through; the layer only carves the alpha.
        setStage(device, s, gfx::TOP_SELECTARG2, gfx::TA_CURRENT, gfx::TA_CURRENT, gfx::TOP_MODULATE,
                 complementIf(layer.m_negative), gfx::TA_CURRENT);
        ++s;
    }
    if (const Light* spot = surface.m_spotLight) {
        ENGINE_ASSERT(spot->m_projectorImage && "srf->spotLight() != 0 && srf->spotLight()->texProj != 0");
        if (spot->m_projectorImage && s < gfx::MAX_STAGES) projectorStage(s++, *spot->m_projectorImage, time);
    }
    if (s < gfx::MAX_STAGES) {
        device.setTexture(s, nullptr);
        device.setTextureStageState(s, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
    }
}

// The picture is thrown from the light: camera-space positions through the
// light's view, projection and bias matrix.
void FixedFunctionShader::projectorStage(uint32_t stage, Texture& projector, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setSamplerState(stage, gfx::SAMP_ADDRESSU, gfx::TADDRESS_BORDER);
    device.setSamplerState(stage, gfx::SAMP_ADDRESSV, gfx::TADDRESS_BORDER);
    device.setSamplerState(stage, gfx::SAMP_BORDERCOLOR, 0);
    device.setSamplerState(stage, gfx::SAMP_MIPFILTER, gfx::TEXF_LINEAR);
    device.setSamplerState(stage, gfx::SAMP_MAGFILTER, gfx::TEXF_LINEAR);
    device.setSamplerState(stage, gfx::SAMP_MINFILTER, gfx::TEXF_ANISOTROPIC);
    device.setTexture(stage, projector.getTexture(time));
    Matrix4x3 matrix;
    std::copy(m_renderer->m_constants->m_matWorldLightviewLightprojShadowbias,
              m_renderer->m_constants->m_matWorldLightviewLightprojShadowbias + 16, &matrix[0]);
    setStageMatrix(stage, matrix, gfx::TTFF_COUNT3 | gfx::TTFF_PROJECTED);
    device.setTextureStageState(stage, gfx::TSS_TEXCOORDINDEX, gfx::TSS_TCI_CAMERASPACEPOSITION);
    setStage(device, stage, gfx::TOP_MODULATE, gfx::TA_TEXTURE, gfx::TA_CURRENT, gfx::TOP_MODULATE, gfx::TA_TEXTURE,
             gfx::TA_CURRENT);
}

// An animated layer's vertices carry their raw positions: the layer's matrix at
// the time projects them, its two texture axes being the world axes beside its own.
void FixedFunctionShader::animatedTransform(uint32_t stage, TextureLayer& layer, double time) {
    const Matrix4x3 m = layer.computeMatrix(time);
    const int columns[3][2] = {{2, 1}, {0, 2}, {0, 1}};
    const int* uv = columns[std::clamp(layer.m_axis, 0, 2)];
    Matrix4x3& matrix = m_renderer->m_constants->m_textureStage[std::min(stage, ShaderConstants::TEXTURE_STAGES - 1)];
    matrix = Matrix4x3{};
    for (int row = 0; row < 4; ++row) {
        matrix.at(row, 0) = m.at(row, uv[0]);
        matrix.at(row, 1) = m.at(row, uv[1]);
    }
    matrix.at(3, 3) = 1.0f;
    setStageMatrix(stage, matrix, gfx::TTFF_COUNT2);
}

void FixedFunctionShader::setStageMatrix(uint32_t stage, const Matrix4x3& matrix, uint32_t flags) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setTextureStageState(stage, gfx::TSS_TEXTURETRANSFORMFLAGS, flags);
    gfx::Matrix deviceMatrix;
    for (int i = 0; i < 16; ++i) deviceMatrix.m[i / 4][i % 4] = matrix[i];
    device.setTransform(gfx::TS_TEXTURE0 + stage, deviceMatrix);
}

// The reflection vector in camera space is turned back into the world and
// looked up in the picture as a sphere map around the first colour layer's axis.
void FixedFunctionShader::sphericalReflectionStage(uint32_t stage, Surface& surface, double time) {
    gfx::Device& device = *m_renderer->m_currentDevice;
    device.setTexture(stage, surface.m_reflectionImage->getTexture(time));
    const float r = std::clamp(surface.m_reflectivity.evaluate(time), 0.0f, 1.0f);
    const uint32_t k = uint32_t(r * 255.0f);
    device.setRenderState(gfx::RS_TEXTUREFACTOR, 0xFF000000u | k << 16 | k << 8 | k);
    device.setTextureStageState(stage, gfx::TSS_TEXCOORDINDEX, gfx::TSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    device.setTextureStageState(stage, gfx::TSS_COLORARG0, gfx::TA_CURRENT);
    setStage(device, stage, gfx::TOP_MULTIPLYADD, gfx::TA_TEXTURE, gfx::TA_TFACTOR, gfx::TOP_SELECTARG1,
             gfx::TA_CURRENT, gfx::TA_CURRENT);
    device.setSamplerState(stage, gfx::SAMP_ADDRESSU, gfx::TADDRESS_WRAP);
    device.setSamplerState(stage, gfx::SAMP_ADDRESSV, gfx::TADDRESS_WRAP);

    TextureLayer* colour = firstLayer(TextureStages::COLR);
    int axis = TextureLayer::AXIS_X;
    if (colour && colour->m_projection != TextureLayer::PROJECT_CUBIC && colour->m_projection != TextureLayer::PROJECT_UV)
        axis = std::clamp(colour->m_axis, 0, 2);
    const int u = axis == 0 ? 1 : 0, v = axis == 2 ? 1 : 2;
    Matrix4x3 sphere{};
    sphere.at(u, 0) = 0.5f;
    sphere.at(v, 1) = 0.5f;
    sphere.at(3, 0) = 0.5f;
    sphere.at(3, 1) = 0.5f;
    sphere.at(3, 3) = 1.0f;
    Matrix4x3 view = m_renderer->m_constants->m_view;
    view[12] = view[13] = view[14] = 0.0f;
    Matrix4x3 inverse;
    invertMatrix4x3(inverse, view);
    Matrix4x3& matrix = m_renderer->m_constants->m_textureStage[std::min(stage, ShaderConstants::TEXTURE_STAGES - 1)];
    multiplyMatrix4x4(matrix, inverse, sphere);
    setStageMatrix(stage, matrix, gfx::TTFF_COUNT2);
}
