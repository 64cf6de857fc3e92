#include <gtest/gtest.h>

#include <memory>

#include "engine/render/AdditiveShader.h"
#include "engine/render/OpaqueShader.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/render/SurfaceShader.h"
#include "engine/scene/Surface.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

class ShaderLibraryTest : public ReportCapture<1> {
protected:
    void SetUp() override {
        ReportCapture<1>::SetUp();
        m_setup.settings().m_fixedFunction = 0;
        m_renderer = std::make_unique<Renderer>(m_setup.device());
    }
    ShaderSwitches& switches() { return *m_renderer->m_switches; }

    RecordingRenderDevice m_setup;
    std::unique_ptr<Renderer> m_renderer;
};

} // namespace

TEST_F(ShaderLibraryTest, ShaderSettingsMakeTheCompiledKinds) {
    EXPECT_NE(dynamic_cast<SurfaceShader*>(m_renderer->m_surfaceShader.get()), nullptr);
    ASSERT_NE(m_renderer->m_plainShader, nullptr);
    EXPECT_NE(dynamic_cast<AdditiveShader*>(m_renderer->m_additiveShader.get()), nullptr);
    EXPECT_NE(dynamic_cast<OpaqueShader*>(m_renderer->m_opaqueShader.get()), nullptr);
}

TEST_F(ShaderLibraryTest, EachSwitchCombinationIsTriedOnceAndNeverRetried) {
    ShaderLibrary& shader = *m_renderer->m_plainShader;
    EXPECT_FALSE(shader.activate());
    EXPECT_FALSE(shader.activate());
    EXPECT_EQ(shader.m_variants.size(), 1u);
    EXPECT_EQ(shader.switchKey().size(), 149u);
    *switches().m_numTex[ShaderSwitches::NUM_DIFF] = 2;
    EXPECT_FALSE(shader.activate());
    EXPECT_EQ(shader.m_variants.size(), 2u);
    *switches().m_numTex[ShaderSwitches::NUM_DIFF] = 0;
    shader.activate();
    EXPECT_EQ(shader.m_variants.size(), 2u);
    m_renderer->m_switchFree = true;
    EXPECT_TRUE(shader.switchKey().empty());
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
