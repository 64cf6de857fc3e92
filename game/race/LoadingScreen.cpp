#include "game/race/LoadingScreen.h"

#include <CEGUI/CEGUI.h>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/GuiHelper.h"
#include "sys/gfx/Device.h"

LoadingScreen* g_loadingScreen = nullptr;

namespace {

// The screen is laid out in pixels of 1024 x 768.
constexpr float LAYOUT_WIDTH = 1024.0f;
constexpr float LAYOUT_HEIGHT = 768.0f;
constexpr float BAR_LEFT = 81.0f;
constexpr float BAR_TOP = 678.0f;
constexpr float BAR_HEIGHT = 25.0f;
// Pixels of bar per percent: 100 percent fill the 860-pixel trough.
constexpr float BAR_SCALE = 8.6f;
constexpr int FRAMES_PER_REPORT = 3;

bool guiReady(const GuiContext* gui) { return gui && gui->m_system && gui->m_windowManager; }

CEGUI::USize layoutSize(float width, float height) {
    const CEGUI::UVector2 size = GuiHelper::toRelative(width, height, LAYOUT_WIDTH, LAYOUT_HEIGHT);
    return CEGUI::USize(size.d_x, size.d_y);
}

// Not clamped: a percentage above 100 draws beyond the trough.
CEGUI::USize barSize(float percent, float rangeStart, float rangeEnd) {
    return layoutSize((percent / (100.0f / (rangeEnd - rangeStart)) + rangeStart) * BAR_SCALE, BAR_HEIGHT);
}

void showPicture(CEGUI::Window& window, const char* image) {
    window.setProperty("Image", image);
    window.setProperty("FrameEnabled", "false");
    window.setProperty("BackgroundEnabled", "false");
}

void drawFrame(GuiContext& gui) {
    sys::gfx::Device& device = *gui.m_renderer->m_currentDevice;
    device.beginScene();
    device.clear(0, nullptr, sys::gfx::CLEAR_TARGET | sys::gfx::CLEAR_ZBUFFER | sys::gfx::CLEAR_STENCIL, 0xFF000000,
                 0.0f, 0);
    drawGui(gui);
    device.endScene();
    device.present();
}

} // namespace

LoadingScreen::LoadingScreen(GuiContext* gui) : m_gui(gui) {}
LoadingScreen::~LoadingScreen() = default;

void LoadingScreen::show() {
    if (m_shown || !guiReady(m_gui)) return;
    loadImageset(*m_gui, "LoadingScreen.imageset");
    CEGUI::WindowManager& windows = *m_gui->m_windowManager;
    m_window = windows.createWindow("Quillfen/StaticImage", "LoadingWindow");
    m_window->setArea(CEGUI::URect(CEGUI::UDim(0, 0), CEGUI::UDim(0, 0), CEGUI::UDim(1, 0), CEGUI::UDim(1, 0)));
    showPicture(*m_window, "LoadingScreen/Background");

    m_bar = windows.createWindow("Quillfen/StaticImage");
    m_bar->setPosition(GuiHelper::toRelative(BAR_LEFT, BAR_TOP, LAYOUT_WIDTH, LAYOUT_HEIGHT));
    m_bar->setSize(barSize(m_progress, m_rangeStart, m_rangeEnd));
    showPicture(*m_bar, "LoadingScreen/Bar");
    m_window->addChild(m_bar);

    m_text = windows.createWindow("Quillfen/StaticText");
    m_text->setPosition(GuiHelper::toRelative(20.0f, 20.0f, LAYOUT_WIDTH, LAYOUT_HEIGHT));
    m_text->setSize(layoutSize(600.0f, 30.0f));
    m_text->setText("Loading...");
    m_text->setFont("VerdanaLarge");
    m_text->setProperty("TextColours", "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF");
    m_text->setProperty("HorzFormatting", "LeftAligned");
    m_text->setProperty("VertFormatting", "CentreAligned");
    m_text->setVisible(false);
    m_window->addChild(m_text);

    m_gui->m_guiContext->setRootWindow(m_window);
    m_shown = true;
}

void LoadingScreen::hide() {
    if (guiReady(m_gui)) {
        if (m_window) {
            if (m_gui->m_guiContext->getRootWindow() == m_window) m_gui->m_guiContext->setRootWindow(nullptr);
            m_gui->m_windowManager->destroyWindow(m_window);
        }
        // Forgotten too, so that the next show loads the pictures again.
        unloadImageset(*m_gui, "LoadingScreen");
    }
    m_window = m_bar = m_text = nullptr;
    m_shown = false;
}

void LoadingScreen::setProgress(float percent) {
    // Hidden there is no bar to size; the program reports progress around loads it does not show.
    if (!m_shown) return;
    m_progress = percent;
    m_bar->setSize(barSize(percent, m_rangeStart, m_rangeEnd));
    render();
}

void LoadingScreen::render() {
    if (!m_shown || !m_gui->m_renderer || !m_gui->m_renderer->m_currentDevice) return;
    m_gui->m_guiContext->setRootWindow(m_window);
    for (int frame = 0; frame < FRAMES_PER_REPORT; ++frame) drawFrame(*m_gui);
}

void reportLoadingProgress(float percent) {
    if (g_loadingScreen) g_loadingScreen->setProgress(percent);
}
