#pragma once
#include <memory>

#include "engine/platform/display/RenderDevice.h"
#include "sys/window/Window.h"

// A windowed device made the way the game makes it, its window shown (the
// client area width x height, the back buffer's size); null when it cannot
// be made. Callers skip first when there is no display.
inline std::unique_ptr<RenderDevice> makeWindowedDevice(uint32_t width = 960, uint32_t height = 720) {
    auto render = std::make_unique<RenderDevice>();
    if (!render->enumerateAdapters("Error", "no 3D device", "no T&L")) return nullptr;
    render->m_settings->m_windowed = 1;
    render->m_settings->m_windowWidth = width;
    render->m_settings->m_windowHeight = height;
    render->listFormats();
    if (!render->createWindows("Zelkora", nullptr)) return nullptr;
    render->m_groups[0]->m_windows[0]->show(true);
    sys::pumpMessages();
    return render;
}
