#pragma once
#include <cstdint>

namespace CEGUI {
class Window;
}
class GuiContext;

// The full-screen picture with a growing bar shown while the menus or a
// race load or are freed. One for the whole run, reached through
// `g_loadingScreen`; each progress report draws at once.
class LoadingScreen {
public:
    // Hidden, the bar's range 0 to 100.
    explicit LoadingScreen(GuiContext* gui);
    ~LoadingScreen();

    void show();
    void hide();
    // Percent of the range; nothing while hidden.
    void setProgress(float percent);
    // Three complete frames while shown.
    void render();

    bool m_shown = false;
    GuiContext* m_gui;
    CEGUI::Window* m_window = nullptr;
    CEGUI::Window* m_bar = nullptr;
    CEGUI::Window* m_text = nullptr;
    float m_progress = 0.0f;
    float m_rangeStart = 0.0f;
    float m_rangeEnd = 100.0f;
};

extern LoadingScreen* g_loadingScreen;

// Reports progress to the loading screen when there is one.
void reportLoadingProgress(float percent);
