#include "engine/platform/gui/LoadingFrame.h"

#include <algorithm>

#include "engine/platform/Ref.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/Texture.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"

using namespace sys::gfx;
using EngineTexture = ::Texture;

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};
constexpr uint32_t SCREEN_FVF = FVF_XYZRHW | FVF_DIFFUSE | (1 << FVF_TEXCOUNT_SHIFT);

void drawFan(Device& device, const ScreenVertex (&quad)[4]) {
    device.setFVF(SCREEN_FVF);
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    device.beginScene();
    device.drawPrimitiveUP(PT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex));
    device.endScene();
}

void untextured(Device& device) {
    device.setTexture(0, nullptr);
    device.setTextureStageState(0, TSS_COLOROP, TOP_DISABLE);
}

void drawBackBuffer(LoadingFrame& frame, uint32_t swapChain, float progress) {
    DeviceList& renderer = *frame.m_renderer;
    Device& device = *renderer.m_currentDevice;
    Ref<Surface> back;
    if (device.getBackBuffer(swapChain, 0, 0, back.out()) == GFX_OK && back) device.setRenderTarget(0, back);
    device.setRenderState(RS_ZENABLE, 0);

    const float w = float(renderer.m_backBufferWidth), h = float(renderer.m_backBufferHeight);
    const int count = int(frame.m_frames.size());
    // Progress 1.0 shows the last picture, not one past it.
    const int index = std::min(int(float(count) * progress), count - 1);
    EngineTexture* background = index >= 0 ? frame.m_frames[size_t(index)] : nullptr;
    if (background) drawScreenQuad(renderer, 0xFFFFFFFF, background, 0.0f, 0.0f, w, h);
    else device.clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 0.0f, 0);

    const float filled = frame.m_barLeft + (frame.m_barRight - frame.m_barLeft) * progress;
    if (frame.m_slanted) {
        drawSlantedBar(renderer, frame.m_barColour, frame.m_barLeft * w, frame.m_barTop * h, filled * w,
                       frame.m_barBottom * h);
        return;
    }
    for (float dx : {0.006f, 0.004f}) {
        const float dy = dx + 0.001f;
        drawScreenQuad(renderer, 0xFF000000, nullptr, (frame.m_barLeft - dx) * w, (frame.m_barTop - dy) * h,
                       (frame.m_barRight + dx) * w, (frame.m_barBottom + dy) * h);
    }
    drawScreenQuad(renderer, frame.m_barColour, nullptr, frame.m_barLeft * w, frame.m_barTop * h, filled * w,
                   frame.m_barBottom * h);
}

} // namespace

void showLoadingProgress(LoadingFrame* frame, float progress) {
    if (!frame) return;
    if (!sys::pumpMessages()) throw LoadingAbortedException();
    if (!frame->m_renderer) return;
    if (frame->m_renderer->m_stereoMode == 3) drawBackBuffer(*frame, 1, progress);
    drawBackBuffer(*frame, 0, progress);
    frame->m_renderer->m_currentDevice->present();
}

void drawScreenQuad(DeviceList& renderer, uint32_t colour, EngineTexture* texture, float left, float top, float right,
                    float bottom) {
    Device& device = *renderer.m_currentDevice;
    sys::gfx::Texture* bound = texture ? texture->getTexture(0.0) : nullptr;
    if (texture) {
        device.setTexture(0, bound);
        device.setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
        device.setSamplerState(0, SAMP_MIPFILTER, TEXF_LINEAR);
        device.setSamplerState(0, SAMP_MAGFILTER, TEXF_LINEAR);
        device.setSamplerState(0, SAMP_MINFILTER, TEXF_ANISOTROPIC);
        device.setTexture(1, nullptr);
        device.setTextureStageState(1, TSS_COLOROP, TOP_DISABLE);
    } else {
        untextured(device);
    }
    const float l = left - 0.5f, t = top - 0.5f, r = right - 0.5f, b = bottom - 0.5f;
    const ScreenVertex quad[4] = {{l, t, 0.5f, 0.5f, colour, 0.0f, 0.0f},
                                  {r, t, 0.5f, 0.5f, colour, 1.0f, 0.0f},
                                  {r, b, 0.5f, 0.5f, colour, 1.0f, 1.0f},
                                  {l, b, 0.5f, 0.5f, colour, 0.0f, 1.0f}};
    drawFan(device, quad);
}

void drawSlantedBar(DeviceList& renderer, uint32_t colour, float left, float top, float right, float bottom) {
    Device& device = *renderer.m_currentDevice;
    untextured(device);
    const float inset = 0.005f * float(renderer.m_backBufferWidth);
    const ScreenVertex quad[4] = {{left + inset, top, 0.5f, 0.5f, colour, 0.0f, 0.0f},
                                  {right - inset, top, 0.5f, 0.5f, colour, 1.0f, 0.0f},
                                  {right, bottom, 0.5f, 0.5f, colour, 1.0f, 1.0f},
                                  {left, bottom, 0.5f, 0.5f, colour, 0.0f, 1.0f}};
    drawFan(device, quad);
}
