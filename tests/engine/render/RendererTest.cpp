#include <gtest/gtest.h>

#include <algorithm>

#include "engine/render/Renderer.h"
#include "engine/render/ScreenTarget.h"
#include "engine/render/ShaderConstants.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

bool recorded(sys::gfx::RecordingDevice& device, const std::string& call) {
    const auto& calls = device.calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

} // namespace

TEST(Renderer, ShaderProfilesFollowTheVersionsCappedAtTwo) {
    RecordingRenderDevice setup;
    setup.adapter().m_caps.vertexShaderVersion = 0xFFFE0300;
    setup.adapter().m_caps.pixelShaderVersion = 0xFFFF0300;
    Renderer renderer(setup.device());
    EXPECT_EQ(renderer.m_vertexProfile, "vs_2_0");
    EXPECT_EQ(renderer.m_pixelProfile, "ps_2_0");
    EXPECT_EQ(renderer.m_textureProfile, "tx_1_0");

    RecordingRenderDevice old;
    old.adapter().m_caps.vertexShaderVersion = 0x101;
    old.adapter().m_caps.pixelShaderVersion = 0x101;
    Renderer first(old.device());
    EXPECT_EQ(first.m_vertexProfile, "vs_1_1");
    EXPECT_EQ(first.m_pixelProfile, "ps_1_1");
    EXPECT_FALSE(recorded(old.recording(), "setSoftwareVertexProcessing 1"));
}

TEST(Renderer, WeakVertexShadersOrTheReferenceDeviceUseSoftwareProfiles) {
    RecordingRenderDevice weak;
    weak.adapter().m_caps.vertexShaderVersion = 0x100;
    weak.adapter().m_caps.pixelShaderVersion = 0x200;
    Renderer renderer(weak.device());
    EXPECT_EQ(renderer.m_vertexProfile, "vs_2_sw");
    EXPECT_EQ(renderer.m_pixelProfile, "ps_2_0");
    EXPECT_FALSE(renderer.m_hardwareVertexShaders);
    EXPECT_TRUE(recorded(weak.recording(), "setSoftwareVertexProcessing 1"));

    RecordingRenderDevice reference;
    reference.settings().m_referenceDevice = 1;
    Renderer referenced(reference.device());
    EXPECT_EQ(referenced.m_vertexProfile, "vs_2_sw");
    EXPECT_EQ(referenced.m_pixelProfile, "ps_2_sw");
}

TEST(Renderer, DefaultRenderOptions) {
    RecordingRenderDevice setup;
    Renderer renderer(setup.device());
    EXPECT_TRUE(renderer.m_textureLayers);
    EXPECT_FALSE(renderer.m_wireframe);
    EXPECT_EQ(renderer.m_cullMode, 3u);
    EXPECT_EQ(renderer.m_currentEye, -1);
}

TEST(Renderer, FullScreenSizesComeFromTheSettingsAndWindowedTargetsFromTheDesktop) {
    RecordingRenderDevice full;
    full.settings().m_width = 800;
    full.settings().m_height = 600;
    full.settings().m_backBufferFormat = sys::gfx::FMT_A8R8G8B8;
    Renderer renderer(full.device());
    EXPECT_EQ(renderer.m_backBufferWidth, 800);
    EXPECT_EQ(renderer.m_backBufferHeight, 600);
    EXPECT_FALSE(renderer.m_windowed);
    EXPECT_EQ(renderer.m_screenTargets[0]->m_width, 800);
    EXPECT_TRUE(renderer.m_screenTargets[1]->m_alpha);
    EXPECT_EQ(renderer.m_renderTargetFormat, uint32_t(sys::gfx::FMT_A8R8G8B8));

    renderer.setBackBufferTarget();
    EXPECT_EQ(renderer.m_targetWidth, 800);
    EXPECT_EQ(renderer.m_targetHeight, 600);
    EXPECT_TRUE(recorded(full.recording(), "setRenderTarget 0 backbuffer"));

    RecordingRenderDevice windowed;
    windowed.settings().m_windowed = 1;
    windowed.settings().m_multisampleType = 2;
    windowed.settings().m_backBufferFormat = sys::gfx::FMT_A8R8G8B8;
    Renderer second(windowed.device());
    EXPECT_EQ(second.m_screenTargets[0]->m_width, 1280);
    EXPECT_EQ(second.m_screenTargets[0]->m_height, 1024);
    EXPECT_FALSE(second.m_screenTargets[0]->m_alpha);
}

using RendererReports = ReportCapture<3>;

TEST_F(RendererReports, NoRenderTargetFormatAssertsAndContinues) {
    RecordingRenderDevice setup;
    setup.adapter().m_renderTargetFormats.clear();
    Renderer renderer(setup.device());
    EXPECT_EQ(lastError(), "device does not support render to texture?");
    EXPECT_EQ(renderer.m_renderTargetFormat, 0u);
    EXPECT_EQ(renderer.m_shadowDepthFormat, 0u);
}

TEST(Renderer, GammaRampFollowsGammaBrightnessAndContrast) {
    uint16_t ramp[256];
    Renderer::buildGammaRamp(1.0f, 0.5f, 0.5f, ramp);
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[1], 257);
    EXPECT_EQ(ramp[128], 32896);
    EXPECT_EQ(ramp[255], 65535);
    Renderer::buildGammaRamp(1.0f, 1.0f, 0.0f, ramp);
    EXPECT_EQ(ramp[0], 32768);
    EXPECT_EQ(ramp[1], 32896);
    EXPECT_EQ(ramp[128], 49216);
    EXPECT_EQ(ramp[255], 65535);
}

TEST(Renderer, DebugLinesDrawUnderTheirWorldAndGiveTheStatesBack) {
    RecordingRenderDevice setup;
    Renderer renderer(setup.device());
    sys::gfx::Device& device = *renderer.m_currentDevice;
    device.setRenderState(sys::gfx::RS_ZWRITEENABLE, 0);
    Matrix4x3 world = Matrix4x3::identity();
    world[12] = 5.0f;
    renderer.drawDebugLines(world, {{{0, 0, 0}, 0xFFFF0000}, {{1, 0, 0}, 0xFFFF0000}});
    EXPECT_TRUE(recorded(setup.recording(), "drawPrimitiveUP 2 1 16"));
    EXPECT_EQ(device.state().renderStates[sys::gfx::RS_ZWRITEENABLE], 0u);
    EXPECT_FLOAT_EQ(device.state().world.m[3][0], 0.0f);
    EXPECT_FLOAT_EQ(renderer.m_constants->m_world[12], 0.0f);
}
