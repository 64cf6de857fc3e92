#include "app/menu/GuiScreen.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

#include "app/menu/Menu.h"
#include "engine/platform/Report.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/gui/GuiContext.h"
#include "game/records/Config.h"

GuiScreen::~GuiScreen() {
    CEGUI::WindowManager* windows = CEGUI::WindowManager::getSingletonPtr();
    if (!m_root || !windows || !windows->isAlive(m_root)) return;
    GuiContext* gui = m_owner ? m_owner->gui : nullptr;
    if (gui && gui->m_guiContext && gui->m_guiContext->getRootWindow() == m_root)
        gui->m_guiContext->setRootWindow(nullptr);
    windows->destroyWindow(m_root);
}

void GuiScreen::enter() {
    m_result = -1;
    m_owner->gui->m_guiContext->setRootWindow(m_root);
}

void GuiScreen::leave() {
    m_result = -1;
    m_owner->gui->m_guiContext->setRootWindow(nullptr);
}

CEGUI::Window* GuiScreen::createWindow(const char* type, CEGUI::Window* parent, float x, float y, float width,
                                       float height, float parentWidth, float parentHeight) {
    CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(type);
    window->setPosition(toRelative(x, y, parentWidth, parentHeight));
    const CEGUI::UVector2 size = toRelative(width, height, parentWidth, parentHeight);
    window->setSize(CEGUI::USize(size.d_x, size.d_y));
    if (parent) parent->addChild(window);
    return window;
}

CEGUI::Window* GuiScreen::createQuestionFrame(CEGUI::Window* parent, float x, float y, float width, float height) {
    auto* frame = static_cast<CEGUI::FrameWindow*>(createWindow("Quillfen/FrameWindow", parent, x, y, width, height));
    frame->setCloseButtonEnabled(false);
    frame->setTitleBarEnabled(false);
    frame->setSizingEnabled(false);
    frame->setDragMovingEnabled(false);
    frame->setEnabled(false);
    frame->setVisible(false);
    return frame;
}

void GuiScreen::showModal(CEGUI::Window& frame) {
    frame.setVisible(true);
    frame.setEnabled(true);
    frame.setModalState(true);
    frame.setAlwaysOnTop(true);
}

void GuiScreen::hideModal(CEGUI::Window& frame) {
    frame.setVisible(false);
    frame.setEnabled(false);
    frame.setModalState(false);
    frame.setAlwaysOnTop(false);
}

void GuiScreen::setTextLook(CEGUI::Window& text, const char* font, uint32_t argb, const char* horizontal,
                            const char* vertical) {
    char colours[64];
    std::snprintf(colours, sizeof colours, "tl:%08X tr:%08X bl:%08X br:%08X", argb, argb, argb, argb);
    text.setFont(font);
    text.setProperty("TextColours", colours);
    text.setProperty("HorzFormatting", horizontal);
    text.setProperty("VertFormatting", vertical);
    text.setProperty("FrameEnabled", "false");
    text.setProperty("BackgroundEnabled", "false");
}

void GuiScreen::setButtonImages(CEGUI::Window& button, const char* normal, const char* hover, const char* disabled) {
    button.setProperty("NormalImage", normal);
    button.setProperty("HoverImage", hover);
    button.setProperty("PushedImage", hover);
    button.setProperty("DisabledImage", disabled);
}

void GuiScreen::useImageset(GuiContext& gui, const char* fileName) {
    try {
        loadImageset(gui, fileName);
    } catch (const CEGUI::Exception& error) {
        g_logStream << "imageset " << fileName << " not loaded: " << error.getMessage() << std::endl;
    }
}

void GuiScreen::onClick(CEGUI::Window& button, std::function<void()> action) {
    button.subscribeEvent(CEGUI::PushButton::EventClicked,
                          CEGUI::Event::Subscriber([this, action = std::move(action)](const CEGUI::EventArgs&) {
                              playClick();
                              action();
                              return true;
                          }));
}

void GuiScreen::createRoot(const char* image) {
    m_root = CEGUI::WindowManager::getSingleton().createWindow("Quillfen/StaticImage", name());
    m_root->setArea(CEGUI::URect(CEGUI::UDim(0, 0), CEGUI::UDim(0, 0), CEGUI::UDim(1, 0), CEGUI::UDim(1, 0)));
    m_root->setProperty("FrameEnabled", "false");
    m_root->setProperty("BackgroundEnabled", "false");
    m_root->setProperty("Image", image);
}

void GuiScreen::playClick() {
    Sound* click = m_owner->click.get();
    if (!click) return;
    click->setVolume(float(m_owner->config->m_settings.m_effectsVolume) * 0.01f);
    click->play(false);
}
