#include <gtest/gtest.h>

#include <memory>

#include "engine/platform/images/GeneratedTexture.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/materials/FixedFunctionShader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/materials/TextureStages.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

class FixedFunctionShaderTest : public ReportCapture<3> {
protected:
    void SetUp() override {
        ReportCapture<3>::SetUp();
        m_renderer = std::make_unique<SceneRenderer>(m_setup.device());
        m_shader = static_cast<FixedFunctionShader*>(m_renderer->m_surfaceShader);
        m_shader->m_stages = &m_stages;
        m_surface.m_colour[0].constant = 0.5f;
        m_surface.m_colour[1].constant = 0.25f;
        m_surface.m_colour[2].constant = 1.0f;
    }
    void addColourLayer() {
        auto layer = std::make_unique<TextureLayer>();
        layer->m_kind = TextureLayer::KIND_IMAGE;
        layer->m_channel = TextureLayer::CHANNEL_COLR;
        layer->m_texture = &m_texture;
        m_surface.addTextureLayer(std::move(layer));
        m_surface.buildTextureStages(m_stages);
    }
    const sys::gfx::Material& material() { return m_setup.recording().state().material; }
    uint32_t renderState(uint32_t state) { return m_setup.recording().state().renderStates[state]; }

    RecordingRenderDevice m_setup;
    std::unique_ptr<Renderer> m_renderer;
    FixedFunctionShader* m_shader = nullptr;
    Surface m_surface{nullptr, "Paint"};
    TextureStages m_stages;
    GeneratedTexture m_texture{nullptr, 0};
};

} // namespace

TEST_F(FixedFunctionShaderTest, OpaqueSurfaceLightsItsColourWithoutBlending) {
    m_surface.m_diffuse.constant = 0.8f;
    m_shader->setObjectState(m_surface, 0.0);
    EXPECT_EQ(renderState(sys::gfx::RS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(renderState(sys::gfx::RS_ZWRITEENABLE), 1u);
    EXPECT_FLOAT_EQ(material().diffuse.r, 0.4f);
    EXPECT_FLOAT_EQ(material().diffuse.b, 0.8f);
    EXPECT_FLOAT_EQ(material().diffuse.a, 1.0f);
    EXPECT_EQ(renderState(sys::gfx::RS_SPECULARENABLE), 0u);
    EXPECT_EQ(renderState(sys::gfx::RS_CULLMODE), 3u);
}

TEST_F(FixedFunctionShaderTest, PlanarMirrorBlendsPremultipliedByReflectivity) {
    m_surface.m_reflectivity.constant = 0.25f;
    m_surface.m_reflectionMode = Surface::REFLECT_MIRROR;
    m_shader->setObjectState(m_surface, 0.0);
    EXPECT_EQ(renderState(sys::gfx::RS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(renderState(sys::gfx::RS_SRCBLEND), uint32_t(sys::gfx::BLEND_ONE));
    EXPECT_FLOAT_EQ(material().diffuse.a, 0.75f);
}

TEST_F(FixedFunctionShaderTest, SpecularNeedsMoreThanTheThresholdAndGlossCapsThePower) {
    m_surface.m_specularity.constant = 1e-6f;
    m_surface.m_glossiness.constant = 1.0f;
    m_shader->setObjectState(m_surface, 0.0);
    EXPECT_EQ(renderState(sys::gfx::RS_SPECULARENABLE), 0u);
    EXPECT_FLOAT_EQ(material().power, 0.0f);
    m_surface.m_specularity.constant = 0.5f;
    m_shader->setObjectState(m_surface, 0.0);
    EXPECT_EQ(renderState(sys::gfx::RS_SPECULARENABLE), 1u);
    EXPECT_FLOAT_EQ(material().power, 255.0f);
}

TEST_F(FixedFunctionShaderTest, ColourLayerModulatesStageZeroAndSwitchesOffTheNext) {
    addColourLayer();
    ASSERT_EQ(m_stages.channels[TextureStages::COLR].count, 1);
    m_shader->setupSurface(m_surface, 0.0);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_MODULATE));
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_COLORARG1], uint32_t(sys::gfx::TA_TEXTURE));
    EXPECT_EQ(state.stageStates[1][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_DISABLE));
}

TEST_F(FixedFunctionShaderTest, TextureLayersSwitchedOffBindNothing) {
    addColourLayer();
    m_renderer->m_textureLayers = false;
    m_shader->setupSurface(m_surface, 0.0);
    EXPECT_EQ(m_setup.recording().state().stageStates[0][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_DISABLE));
    EXPECT_EQ(m_setup.recording().state().textures[0], nullptr);
}

TEST_F(FixedFunctionShaderTest, SphericalReflectionAddsThePictureByReflectivity) {
    m_surface.m_reflectionImage = &m_texture;
    m_surface.m_reflectionMode = Surface::REFLECT_SPHERICAL;
    m_surface.m_reflectivity.constant = 0.25f;
    m_shader->setupSurface(m_surface, 0.0);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_MULTIPLYADD));
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_TEXCOORDINDEX], 0x30000u);
    EXPECT_EQ(state.renderStates[sys::gfx::RS_TEXTUREFACTOR], 0xFF3F3F3Fu);
    // Straight ahead in an unturned view looks at the picture's centre.
    EXPECT_FLOAT_EQ(state.texture[0].m[3][0], 0.5f);
    EXPECT_EQ(state.stageStates[1][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_DISABLE));
}

TEST_F(FixedFunctionShaderTest, AnimatedLayerProjectsThroughItsMatrixAtTheTime) {
    TextureLayer layer;
    layer.m_axis = TextureLayer::AXIS_X;
    layer.m_centre[2].constant = 0.25f;
    layer.m_centre[2].makeEnvelope();
    m_shader->setupLayerStage(2, layer, 0, 1.0);
    const Matrix4x3 m = layer.computeMatrix(1.0);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.stageStates[2][sys::gfx::TSS_TEXTURETRANSFORMFLAGS], uint32_t(sys::gfx::TTFF_COUNT2));
    // Axis X maps (z', y'): u from the third column, v from the second.
    EXPECT_FLOAT_EQ(state.texture[2].m[3][0], m.at(3, 2));
    EXPECT_FLOAT_EQ(state.texture[2].m[2][0], m.at(2, 2));
    EXPECT_FLOAT_EQ(state.texture[2].m[1][1], m.at(1, 1));
    EXPECT_FLOAT_EQ(m_renderer->m_constants->m_textureStage[2].at(3, 0), m.at(3, 2));
}

TEST_F(FixedFunctionShaderTest, SpotLightThrowsItsPictureThroughTheLastStageOrIsReportedWithout) {
    Light spot(nullptr, 0);
    m_surface.m_spotLight = &spot;
    m_shader->setupSurface(m_surface, 0.0);
    EXPECT_NE(lastError().find("srf->spotLight()->texProj != 0"), std::string::npos);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_DISABLE));

    spot.m_projectorImage = &m_texture;
    m_renderer->m_constants->m_matWorldLightviewLightprojShadowbias[12] = 249.0f;
    m_shader->setupSurface(m_surface, 0.0);
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_TEXCOORDINDEX], uint32_t(sys::gfx::TSS_TCI_CAMERASPACEPOSITION));
    EXPECT_EQ(state.stageStates[0][sys::gfx::TSS_TEXTURETRANSFORMFLAGS],
              uint32_t(sys::gfx::TTFF_COUNT3 | sys::gfx::TTFF_PROJECTED));
    EXPECT_FLOAT_EQ(state.texture[0].m[3][0], 249.0f);
    EXPECT_EQ(state.samplerStates[0][sys::gfx::SAMP_ADDRESSU], uint32_t(sys::gfx::TADDRESS_BORDER));
    EXPECT_EQ(state.stageStates[1][sys::gfx::TSS_COLOROP], uint32_t(sys::gfx::TOP_DISABLE));
    m_surface.m_spotLight = nullptr;
}
