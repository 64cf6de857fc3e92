#include "app/program/FrameLoop.h"

#include <chrono>
#include <thread>

#include "app/program/LoopPhase.h"
#include "app/program/MainWindowProc.h"
#include "engine/platform/display/RenderDevice.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/MetaScene.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"

using namespace sys::gfx;

FrameLoop::FrameLoop(RenderDevice& device, Renderer& renderer, FrameBudget& budget)
    : m_device(device), m_renderer(renderer), m_budget(budget) {}

void FrameLoop::run(LoopPhase& phase) {
    while (phase.running() && !m_quitSeen) turn(phase);
}

void FrameLoop::turn(LoopPhase& phase) {
    if (m_renderer.m_displayChanged) {
        m_renderer.m_displayChanged = false;
        applyDisplayChange(phase);
    }
    const HResult level = m_renderer.m_currentDevice->testCooperativeLevel();
    if (level == GFXERR_DEVICELOST || !g_appActive) {
        // Nothing to draw on: wait for the window, but look at the device again now and then.
        phase.pause();
        std::this_thread::sleep_for(std::chrono::milliseconds(WAIT_MILLISECONDS));
        pumpMessages();
        return;
    }
    if (level == GFX_OK) {
        drawFrame(phase);
    } else if (level == GFXERR_DEVICENOTRESET) {
        resetDevice(phase);
        phase.resume();
    }
}

void FrameLoop::drawFrame(LoopPhase& phase) {
    const auto start = std::chrono::steady_clock::now();
    g_input->update();
    pumpMessages();
    if (!phase.frame(*g_input)) m_ok = false;
    m_budget.count(phase.kind(), std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (m_budget.spent()) m_quitSeen = true;
}

void FrameLoop::applyDisplayChange(LoopPhase& phase) {
    DisplaySettings& settings = *m_device.m_settings;
    settings.m_width = uint32_t(m_renderer.m_screenWidth);
    settings.m_height = uint32_t(m_renderer.m_screenHeight);
    settings.m_windowed = m_renderer.m_windowed ? 1 : 0;
    if (!m_device.m_groups.empty() && !m_device.m_groups[0]->m_presentParams.empty()) {
        PresentParams& head = m_device.m_groups[0]->m_presentParams[0];
        head.backBufferWidth = settings.m_width;
        head.backBufferHeight = settings.m_height;
        head.windowed = settings.m_windowed;
    }
    resetDevice(phase);
}

void FrameLoop::resetDevice(LoopPhase& phase) {
    MetaScene* scene = phase.scene();
    if (scene) scene->onLostDevice();
    m_device.resizeWindows();
    if (scene) scene->onResetDevice();
    m_renderer.m_backBufferWidth = m_renderer.m_screenWidth;
    m_renderer.m_backBufferHeight = m_renderer.m_screenHeight;
    if (GuiContext* gui = phase.gui())
        resizeGui(*gui, uint32_t(m_renderer.m_screenWidth), uint32_t(m_renderer.m_screenHeight));
}

void FrameLoop::pumpMessages() {
    if (!sys::pumpMessages()) m_quitSeen = true;
}
