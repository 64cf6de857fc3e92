#include "game/LoadingScreen.h"

LoadingScreen* g_loadingScreen = nullptr;

LoadingScreen::LoadingScreen(GuiContext* gui) : m_gui(gui) {}
LoadingScreen::~LoadingScreen() = default;
void LoadingScreen::show() {}
void LoadingScreen::hide() {}
void LoadingScreen::setProgress(float) {}
void LoadingScreen::render() {}

void reportLoadingProgress(float percent) {
    if (g_loadingScreen) g_loadingScreen->setProgress(percent);
}
