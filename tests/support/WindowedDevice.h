#pragma once
#include <memory>

#include "engine/platform/RenderDevice.h"
#include "sys/window/Window.h"

// A windowed device made the way the game makes it, its window shown; null
// when it cannot be made. Callers skip first when there is no display.
inline std::unique_ptr<RenderDevice> makeWindowedDevice() {
    auto render = std::make_unique<RenderDevice>();
    if (!render->enumerateAdapters("Error", "no 3D device", "no T&L")) return nullptr;
    render->m_settings->m_windowed = 1;
    render->listFormats();
    if (!render->createWindows("Zelkora", nullptr)) return nullptr;
    render->m_groups[0]->m_windows[0]->show(true);
    sys::pumpMessages();
    return render;
}
