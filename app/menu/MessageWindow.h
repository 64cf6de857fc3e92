#pragma once
#include <functional>

namespace CEGUI {
class String;
class Window;
} // namespace CEGUI
class GuiScreen;
class TextTable;

// The modal notice of the network screens: a text and an OK that closes it
// and then does what the screen asks. While something is under way it shows
// without holding the screen, its button read as the table's Cancel.
class MessageWindow {
public:
    MessageWindow(GuiScreen& screen, CEGUI::Window& parent, std::function<void()> afterOk);

    // The button's texts in the table's language.
    void setTexts(const TextTable& texts);
    void show(const CEGUI::String& text);
    // Not modal: the screen's own back button still takes clicks.
    void showWaiting(const CEGUI::String& text);
    void hide();
    bool isShown() const;

    CEGUI::Window* frame() const { return m_frame; }
    CEGUI::Window* text() const { return m_text; }
    CEGUI::Window* okButton() const { return m_ok; }

private:
    const TextTable* m_texts = nullptr;
    CEGUI::Window* m_frame;
    CEGUI::Window* m_text;
    CEGUI::Window* m_ok;
};
