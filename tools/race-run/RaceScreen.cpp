#include "tools/race-run/RaceScreen.h"

#include "engine/platform/display/RenderDevice.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/platform/input/WindowInputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "game/race/LoadingScreen.h"
#include "sys/gfx/RecordingAdapter.h"
#include "sys/gfx/RecordingDevice.h"
#include "sys/window/Window.h"

namespace {

std::unique_ptr<sys::gfx::Adapter> recordingAdapter() { return std::make_unique<sys::gfx::RecordingAdapter>(); }

} // namespace

RaceScreen::RaceScreen() : m_input(std::make_unique<InputDevice>()) {}

RaceScreen::~RaceScreen() {
    showLoading(false);
    m_loading.reset();
    if (m_gui) shutdownCegui(*m_gui);
    m_renderer.reset();
    // The window's input device stops its timer on the window: it goes before the device that owns the window.
    m_input.reset();
    m_device.reset();
}

bool RaceScreen::openHeadless(uint32_t width, uint32_t height, std::string& error) {
    m_device = std::make_unique<RenderDevice>();
    sys::gfx::Adapter::setFactory(recordingAdapter);
    bool made = m_device->enumerateAdapters("Error", "no 3D device", "no T&L");
    if (made) {
        DisplaySettings& s = *m_device->m_settings;
        s.m_windowed = 0;
        s.m_width = width;
        s.m_height = height;
        m_device->listFormats();
        // The device of a window, without the window.
        auto group = std::make_unique<DeviceGroup>();
        group->m_adapterInfo = &m_device->m_adapters[0];
        made = group->createDevice(*m_device->m_direct3D, s);
        m_device->m_groups.push_back(std::move(group));
        m_device->m_numGroups = 1;
    }
    sys::gfx::Adapter::setFactory(nullptr);
    if (!made) {
        error = "cannot make the recording device";
        return false;
    }
    m_renderer = std::make_unique<SceneRenderer>(*m_device);
    m_recording = static_cast<sys::gfx::RecordingDevice*>(m_renderer->m_currentDevice);
    // Nothing reads the calls back: writing them down would cost more than the race.
    m_recording->setRecording(false);
    return true;
}

bool RaceScreen::openWindow(uint32_t width, uint32_t height, File& files, std::string& error) {
    if (!sys::Window::videoAvailable()) {
        error = "no display";
        return false;
    }
    auto input = std::make_unique<WindowInputDevice>();
    m_device = std::make_unique<RenderDevice>();
    if (!m_device->enumerateAdapters("Error", "no 3D device", "no T&L")) {
        error = "no 3D device";
        return false;
    }
    DisplaySettings& s = *m_device->m_settings;
    s.m_windowed = 1;
    s.m_width = s.m_windowWidth = width;
    s.m_height = s.m_windowHeight = height;
    m_device->listFormats();
    InputDevice* messages = input.get();
    auto procedure = [this, messages](sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (message == sys::WM_CLOSE) m_closed = true;
        return messages->handleMessage(window, message, wParam, lParam);
    };
    if (!m_device->createWindows("RaceRun", procedure) || m_device->m_groups.empty() ||
        m_device->m_groups[0]->m_windows.empty() || !m_device->m_groups[0]->m_windows[0]) {
        error = "cannot create the window";
        return false;
    }
    sys::Window& window = *m_device->m_groups[0]->m_windows[0];
    window.show(true);
    input->init(window);
    m_input = std::move(input);
    m_renderer = std::make_unique<SceneRenderer>(*m_device);
    // A drawn race shows its displays: a run without them is not the one asked for.
    if (!setupCegui(*m_renderer, g_gui, *m_input, files)) {
        error = "the GUI cannot start: " + g_gui.m_failureText;
        return false;
    }
    m_gui = &g_gui;
    sys::pumpMessages();
    return true;
}

bool RaceScreen::beginFrame() {
    m_input->update();
    if (!m_recording && !sys::pumpMessages()) m_closed = true;
    return !m_closed;
}


void RaceScreen::showLoading(bool shown) {
    if (!m_gui) return;
    if (!m_loading) m_loading = std::make_unique<LoadingScreen>(m_gui);
    if (shown) {
        g_loadingScreen = m_loading.get();
        m_loading->show();
        return;
    }
    m_loading->hide();
    if (g_loadingScreen == m_loading.get()) g_loadingScreen = nullptr;
}
