#pragma once
#include <functional>

namespace CEGUI {
class String;
class Window;
} // namespace CEGUI
class GuiScreen;
class TextTable;

// The modal notice of the network screens: a text and an OK that closes it
// and then does what the screen asks.
class MessageWindow {
public:
    MessageWindow(GuiScreen& screen, CEGUI::Window& parent, std::function<void()> afterOk);

    // The OK button's text in the table's language.
    void setTexts(const TextTable& texts);
    void show(const CEGUI::String& text);
    void hide();
    bool isShown() const;

    CEGUI::Window* frame() const { return m_frame; }
    CEGUI::Window* text() const { return m_text; }
    CEGUI::Window* okButton() const { return m_ok; }

private:
    CEGUI::Window* m_frame;
    CEGUI::Window* m_text;
    CEGUI::Window* m_ok;
};
