#include <gtest/gtest.h>

#include <memory>

#include "engine/platform/images/GeneratedTexture.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderCompiler.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/materials/AdditiveShader.h"
#include "engine/scene/materials/OpaqueShader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/SurfaceShader.h"
#include "engine/scene/materials/TextureLayer.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

class ShaderLibraryTest : public ReportCapture<1> {
protected:
    void SetUp() override {
        ReportCapture<1>::SetUp();
        m_setup.settings().m_fixedFunction = 0;
        m_renderer = std::make_unique<SceneRenderer>(m_setup.device());
    }
    ShaderSwitches& switches() { return *m_renderer->m_switches; }

    RecordingRenderDevice m_setup;
    std::unique_ptr<Renderer> m_renderer;
};

} // namespace

TEST_F(ShaderLibraryTest, ShaderSettingsMakeTheCompiledKinds) {
    EXPECT_NE(dynamic_cast<SurfaceShader*>(m_renderer->m_surfaceShader), nullptr);
    ASSERT_NE(m_renderer->m_plainShader, nullptr);
    EXPECT_NE(dynamic_cast<AdditiveShader*>(m_renderer->m_additiveShader), nullptr);
    EXPECT_NE(dynamic_cast<OpaqueShader*>(m_renderer->m_opaqueShader), nullptr);
}

TEST_F(ShaderLibraryTest, SamplerBindingWithoutAPixelShaderReports) {
    Surface surface(nullptr, "Glass");
    m_renderer->m_plainShader->setupSurface(surface, 0.0);
    EXPECT_EQ(lastError(), "no shader set");
}

TEST_F(ShaderLibraryTest, VertexEntryPointsCountInputsUpToEight) {
    SurfaceShader& surface = static_cast<SurfaceShader&>(*m_renderer->m_surfaceShader);
    *switches().m_specularEnabled = 1;
    *switches().m_numTex[ShaderSwitches::NUM_COLR] = 1;
    EXPECT_EQ(surface.vertexEntryPoint(), "vshaderS1");
    *switches().m_numTex[ShaderSwitches::NUM_COLR] = 3;
    *switches().m_numTex[ShaderSwitches::NUM_DIFF] = 2;
    *switches().m_numTex[ShaderSwitches::NUM_BUMP] = 1;
    *switches().m_numShadows = 1;
    EXPECT_EQ(surface.vertexEntryPoint(), "vshaderS8");
    *switches().m_numShadows = 9;
    *switches().m_isFogEnabled = 1;
    EXPECT_EQ(m_renderer->m_additiveShader->vertexEntryPoint(), "vshaderF8");
    EXPECT_EQ(m_renderer->m_opaqueShader->pixelEntryPoint(), "pshader");
}

TEST_F(ShaderLibraryTest, CompiledObjectStateFillsSurfaceConstantsAndOpaqueKeepsNothingBehind) {
    Surface surface(nullptr, "Smoke");
    surface.m_colour[0].constant = 1.0f;
    surface.m_colour[1].constant = 0.5f;
    surface.m_colour[2].constant = 0.0f;
    surface.m_transparency.constant = 0.5f;
    surface.m_specularity.constant = 0.5f;
    surface.m_glossiness.constant = 1.0f;
    m_renderer->m_opaqueShader->setObjectState(surface, 2.0);
    const ShaderConstants& c = *m_renderer->m_constants;
    EXPECT_FLOAT_EQ(c.m_srfColor[0], 0.5f);
    EXPECT_FLOAT_EQ(c.m_srfColor[1], 0.25f);
    EXPECT_FLOAT_EQ(c.m_srfColor[3], 0.5f);
    EXPECT_FLOAT_EQ(c.m_srfLighting[3], 127.9961f);
    EXPECT_FLOAT_EQ(*c.m_time, 2.0f);
    EXPECT_EQ(*switches().m_specularEnabled, 1);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.renderStates[sys::gfx::RS_ZWRITEENABLE], 0u);
    EXPECT_EQ(state.renderStates[sys::gfx::RS_SRCBLEND], uint32_t(sys::gfx::BLEND_ONE));
    EXPECT_EQ(state.renderStates[sys::gfx::RS_DESTBLEND], uint32_t(sys::gfx::BLEND_ZERO));
}

namespace {

class SamplerTable : public ShaderConstantTable {
public:
    explicit SamplerTable(std::vector<std::string> names) : m_names(std::move(names)) {}
    sys::gfx::HResult setDefaults(sys::gfx::Device&) override { return 0; }
    sys::gfx::HResult setValue(sys::gfx::Device&, const char*, const void*, uint32_t) override { return 0; }
    std::vector<std::string> samplerNames() const override { return m_names; }
    std::vector<std::string> m_names;
};

// Compiles whatever it is asked, counting, unless told to fail with a message.
class CountingCompiler : public ShaderCompiler {
public:
    void setValue(const char*, const void*, uint32_t) override { ++m_values; }
    bool compileShader(const std::string& entryPoint, const std::string& profile, uint32_t flags,
                       Output& out) override {
        ++m_compiles;
        if (!m_failure.empty()) {
            out.errors = m_failure;
            return false;
        }
        out.code = {0xFFFE0200, 0x0000FFFF};
        out.constants = std::make_unique<SamplerTable>(m_samplers);
        return true;
    }
    int m_values = 0, m_compiles = 0;
    std::string m_failure;
    std::vector<std::string> m_samplers;
};

} // namespace

TEST_F(ShaderLibraryTest, SameSwitchesCompileOnceAndGoingBackReusesTheVariant) {
    ShaderLibrary& shader = *m_renderer->m_plainShader;
    auto* compiler = new CountingCompiler;
    shader.m_compiler.reset(compiler);
    EXPECT_TRUE(shader.activate());
    EXPECT_TRUE(shader.activate());
    EXPECT_EQ(compiler->m_compiles, 2); // one vertex and one pixel program
    EXPECT_EQ(shader.switchKey().size(), 149u);
    EXPECT_EQ(compiler->m_values, 51);
    *switches().m_isFogEnabled = 1;
    EXPECT_TRUE(shader.activate());
    *switches().m_isFogEnabled = 0;
    EXPECT_TRUE(shader.activate());
    EXPECT_EQ(compiler->m_compiles, 4);

    m_renderer->m_switchFree = true;
    compiler->m_values = 0;
    EXPECT_TRUE(shader.activate());
    EXPECT_EQ(compiler->m_values, 0);
    EXPECT_TRUE(shader.switchKey().empty());
}

TEST_F(ShaderLibraryTest, FailedCompileShowsItsMessageAndStaysFailed) {
    g_reportLevel = 2;
    ShaderLibrary& shader = *m_renderer->m_plainShader;
    auto* compiler = new CountingCompiler;
    compiler->m_failure = "(12): error X3000: syntax error";
    shader.m_compiler.reset(compiler);
    EXPECT_FALSE(shader.activate());
    EXPECT_EQ(lastError(), "\n<shader>(12): error X3000: syntax error");
    EXPECT_FALSE(shader.activate());
    EXPECT_EQ(compiler->m_compiles, 1);
}

TEST_F(ShaderLibraryTest, SamplersBindTheLayerTheirNameAsksFor) {
    ShaderLibrary& shader = *m_renderer->m_plainShader;
    auto* compiler = new CountingCompiler;
    compiler->m_samplers = {"texBUMP1", "ZIMG0", "SPEC"};
    shader.m_compiler.reset(compiler);
    ASSERT_TRUE(shader.activate());
    Surface surface(nullptr, "Road");
    GeneratedTexture first(m_renderer.get(), 0), second(m_renderer.get(), 0), reflection(m_renderer.get(), 0);
    first.buildSpot(1.0f, 0.1f, 0.5f);
    second.buildFlare(1);
    reflection.buildFlare(2);
    for (Texture* texture : {&first, &second}) {
        auto layer = std::make_unique<TextureLayer>();
        layer->m_kind = TextureLayer::KIND_IMAGE;
        layer->m_channel = TextureLayer::CHANNEL_BUMP;
        layer->m_texture = texture;
        layer->m_addressU = TextureLayer::ADDRESS_CLAMP;
        surface.addTextureLayer(std::move(layer));
    }
    surface.m_reflectionImage = &reflection;
    shader.setupSurface(surface, 0.0);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.textures[0], second.getTexture(0.0));
    EXPECT_EQ(state.samplerStates[0][sys::gfx::SAMP_ADDRESSU], uint32_t(sys::gfx::TADDRESS_CLAMP));
    EXPECT_EQ(state.textures[1], reflection.getTexture(0.0));
    EXPECT_EQ(state.textures[2], nullptr);
}

TEST_F(ShaderLibraryTest, ShadowSamplersReadTheSurfacesSpotLightAndStayEmptyWithout) {
    g_reportLevel = 3;
    ShaderLibrary& shader = *m_renderer->m_plainShader;
    auto* compiler = new CountingCompiler;
    compiler->m_samplers = {"ZMAP0", "SPOT0"};
    shader.m_compiler.reset(compiler);
    *switches().m_numShadows = 1;
    ASSERT_TRUE(shader.activate());
    Surface surface(nullptr, "Road");
    shader.setupSurface(surface, 0.0);
    EXPECT_NE(lastError().find("srf->spotLight()->texSpot != 0"), std::string::npos);
    const sys::gfx::DeviceState& state = m_setup.recording().state();
    EXPECT_EQ(state.textures[0], nullptr);

    Light spot(nullptr, 0);
    GeneratedTexture cone(m_renderer.get(), 0);
    cone.buildSpot(1.0f, 0.1f, 0.5f);
    spot.m_spotTexture = &cone;
    surface.m_spotLight = &spot;
    shader.setupSurface(surface, 0.0);
    EXPECT_EQ(state.textures[0], nullptr) << "no shadow map was made";
    EXPECT_EQ(state.textures[1], cone.getTexture(0.0));
    EXPECT_EQ(state.samplerStates[1][sys::gfx::SAMP_ADDRESSU], uint32_t(sys::gfx::TADDRESS_BORDER));
}
