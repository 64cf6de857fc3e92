#include "engine/render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/platform/Ref.h"
#include "engine/platform/Report.h"
#include "engine/platform/audio/SoundDeviceList.h"
#include "engine/platform/display/FormatRequest.h"
#include "engine/platform/display/RenderDevice.h"
#include "engine/render/ScreenTarget.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"

using namespace sys::gfx;

namespace {

constexpr uint32_t FLOAT_32_BITS = 0x20220;
constexpr uint32_t SHADER_VERSION_1_1 = 0x101;
constexpr uint32_t SHADER_VERSION_2_0 = 0x200;

const FormatDesc* chooseRenderTargetFormat(const AdapterInfo& adapter) {
    FormatRequest request;
    for (int k = 0; k < 4; ++k) {
        request.m_minimum[k] = k == 0 ? 0 : 5;
        request.m_weight[k] = 8;
        request.m_maximum[k] = FLOAT_32_BITS;
    }
    request.m_allowedFlags = FORMAT_DISPLAY | FORMAT_BGR_ORDER_OR_FLOAT;
    request.m_preferredFlags = {~uint32_t(FORMAT_BGR_ORDER_OR_FLOAT)};
    return request.chooseBest(adapter.m_renderTargetFormats);
}

// Depth kept in a 32-bit float-like colour channel for the shadow maps.
const FormatDesc* chooseShadowDepthFormat(const AdapterInfo& adapter) {
    FormatRequest request;
    request.m_minimum[1] = 15;
    request.m_weight[1] = 0x20020;
    for (uint32_t& maximum : request.m_maximum) maximum = FLOAT_32_BITS;
    request.m_requiredFlags = FORMAT_DEPTH_STENCIL;
    request.m_allowedFlags = FORMAT_DISPLAY | FORMAT_DEPTH_STENCIL | FORMAT_NOT_LOCKABLE;
    request.m_preferredFlags = {FORMAT_NOT_LOCKABLE};
    return request.chooseBest(adapter.m_renderTargetFormats);
}

std::string profile(const char* prefix, uint32_t version, bool usable) {
    if (!usable) return std::string(prefix) + "2_sw";
    char text[32];
    std::snprintf(text, sizeof text, "%s%u_%u", prefix, version >> 8, version & 0xFF);
    return text;
}

Matrix toDeviceMatrix(const Matrix4x3& m) {
    Matrix out;
    for (int i = 0; i < 16; ++i) out.m[i / 4][i % 4] = m[i];
    return out;
}

} // namespace

Renderer::Renderer(RenderDevice& renderDevice) {
    m_switches = std::make_unique<ShaderSwitches>(this);
    m_constants = std::make_unique<ShaderConstants>(this);

    for (int g = 0; g < renderDevice.m_numGroups; ++g) m_devices.push_back(renderDevice.m_groups[size_t(g)]->m_device);
    DeviceGroup& group = *renderDevice.m_groups[0];
    const DisplaySettings& settings = *renderDevice.m_settings;
    m_currentDeviceIndex = 0;
    m_currentDevice = m_devices[0];
    m_adapter = group.m_adapterInfo;

    const FormatDesc* target = chooseRenderTargetFormat(*m_adapter);
    ENGINE_ASSERT(target != 0 && "device does not support render to texture?");
    m_renderTargetFormat = target ? target->format : 0;
    const FormatDesc* shadowDepth = chooseShadowDepthFormat(*m_adapter);
    m_shadowDepthFormat = shadowDepth ? shadowDepth->format : 0;

    if (const FormatDesc* depth = group.m_autoDepthStencilDesc) {
        m_lockableDepthBuffer = !(depth->flags & FORMAT_NOT_LOCKABLE);
        m_stencilAvailable = componentCount(depth->component[0]) > 0;
    }

    m_currentDevice->setSoftwareVertexProcessing(false);
    m_hardwareCaps = m_adapter->m_caps;
    uint32_t vs = m_hardwareCaps.vertexShaderVersion & 0xFFFF;
    uint32_t ps = m_hardwareCaps.pixelShaderVersion & 0xFFFF;
    m_hardwareVertexShaders = vs >= SHADER_VERSION_1_1 && !settings.m_softwareVertexProcessing;
    m_pixelShaders = ps >= SHADER_VERSION_1_1;
    if (!m_hardwareVertexShaders) m_currentDevice->setSoftwareVertexProcessing(true);
    m_activeCaps = m_hardwareCaps;
    vs = std::min(vs, SHADER_VERSION_2_0);
    ps = std::min(ps, SHADER_VERSION_2_0);
    m_vertexProfile = profile("vs_", vs, !settings.m_referenceDevice && m_hardwareVertexShaders);
    m_pixelProfile = profile("ps_", ps, !settings.m_referenceDevice && m_pixelShaders);
    m_textureProfile = "tx_1_0";

    m_hardwareTransformAndLighting =
        !settings.m_softwareVertexProcessing && (m_hardwareCaps.devCaps & DEVCAPS_HWTRANSFORMANDLIGHT);
    if (settings.m_windowed && !group.m_windows.empty() && group.m_windows[0]) {
        group.m_windows[0]->getClientSize(m_backBufferWidth, m_backBufferHeight);
        m_windowed = true;
    } else {
        m_backBufferWidth = int32_t(settings.m_width);
        m_backBufferHeight = int32_t(settings.m_height);
        m_windowed = false;
    }
    m_screenWidth = m_backBufferWidth;
    m_screenHeight = m_backBufferHeight;
    m_stereoMode = renderDevice.m_stereoMode;
    m_settingsByte = settings.m_extraFlag;
    m_fixedFunction = settings.m_fixedFunction != 0;

    const DisplayMode& desktop = m_adapter->m_currentMode;
    for (auto& screen : m_screenTargets)
        screen = std::make_unique<ScreenTarget>(this, settings, desktop.width, desktop.height);
}

Renderer::~Renderer() {
    m_switches->clear();
    m_switches.reset();
    m_constants->clear();
    m_constants.reset();
    m_soundDeviceList.reset();
    for (auto& screen : m_screenTargets) screen.reset();
}

void Renderer::buildGammaRamp(float gamma, float brightness, float contrast, uint16_t ramp[256]) {
    const double inv = 1.0 / gamma;
    const double c = double(contrast) + 0.5;
    const double b = (double(brightness) - 0.5) * 32768.0;
    const double k = double(contrast) * 32768.0;
    for (int i = 0; i < 256; ++i) {
        double v = std::pow(i * 0.003921569, inv) * c * 65535.0 + b - k + 16384.0;
        int64_t value = int64_t(v);
        ramp[i] = uint16_t(std::clamp<int64_t>(value, 0, 65535));
    }
}

void Renderer::setGammaRamp(float gamma, float brightness, float contrast) {
    uint16_t ramp[3][256];
    buildGammaRamp(gamma, brightness, contrast, ramp[0]);
    std::copy(ramp[0], ramp[0] + 256, ramp[1]);
    std::copy(ramp[0], ramp[0] + 256, ramp[2]);
    m_currentDevice->setGammaRamp(0, 1, ramp);
}

void Renderer::setBackBufferTarget() {
    m_targetWidth = m_backBufferWidth;
    m_targetHeight = m_backBufferHeight;
    Ref<sys::gfx::Surface> back;
    uint32_t swapChain = m_stereoMode == 3 ? uint32_t(m_currentEye) : 0;
    if (m_currentDevice->getBackBuffer(swapChain, 0, 0, back.out()) != GFX_OK || !back) return;
    m_currentDevice->setRenderTarget(0, back);
}

void Renderer::setViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height, float minZ, float maxZ) {
    m_currentDevice->setViewport(sys::gfx::Viewport{x, y, width, height, minZ, maxZ});
}

void Renderer::drawDebugLines(const Matrix4x3& world, const std::vector<DebugLineVertex>& lines) {
    if (lines.size() < 2) return;
    Device& device = *m_currentDevice;
    const DeviceState saved = device.state();
    const Matrix4x3 savedWorld = m_constants->m_world;
    m_constants->m_world = world;
    m_constants->m_derivedCurrent = false;
    device.setTransform(TS_WORLD, toDeviceMatrix(world));
    Material white{};
    white.diffuse = white.ambient = ColorValue{1.0f, 1.0f, 1.0f, 1.0f};
    device.setMaterial(white);
    device.setRenderState(RS_ZWRITEENABLE, 1);
    device.setRenderState(RS_ALPHABLENDENABLE, 0);
    device.setRenderState(RS_ALPHATESTENABLE, 0);
    device.setRenderState(RS_SPECULARENABLE, 0);
    device.setFVF(FVF_XYZ | FVF_DIFFUSE);
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    device.setTextureStageState(0, TSS_COLOROP, TOP_DISABLE);
    device.drawPrimitiveUP(PT_LINELIST, uint32_t(lines.size() / 2), lines.data(), sizeof(DebugLineVertex));

    m_constants->m_world = savedWorld;
    m_constants->m_derivedCurrent = false;
    device.setTransform(TS_WORLD, saved.world);
    device.setMaterial(saved.material);
    for (uint32_t state : {RS_ZWRITEENABLE, RS_ALPHABLENDENABLE, RS_ALPHATESTENABLE, RS_SPECULARENABLE})
        device.setRenderState(state, saved.renderStates[state]);
    device.setTextureStageState(0, TSS_COLOROP, saved.stageStates[0][TSS_COLOROP]);
    if (saved.declaration) device.setVertexDeclaration(saved.declaration);
    else device.setFVF(saved.fvf);
}
