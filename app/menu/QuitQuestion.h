#pragma once

namespace CEGUI {
class Window;
}
class GuiScreen;
class TextTable;

// The modal "really quit?" frame of the main menu and the splash: yes closes
// it and reports 999 through its screen, no only closes it.
class QuitQuestion {
public:
    // Pixels: the frame on the 1024 x 768 layout, the rest on the frame.
    struct Layout {
        float frameX, frameY, frameWidth, frameHeight;
        float textX, textY, textWidth, textHeight;
        float yesX, noX, buttonY, buttonWidth, buttonHeight;
        const char* font;
    };

    QuitQuestion(GuiScreen& screen, CEGUI::Window& parent, const Layout& layout);

    // The question and the two answers in the table's language.
    void setTexts(const TextTable& texts);
    void show();
    void hide();
    bool isShown() const;

    CEGUI::Window* frame() const { return m_frame; }
    CEGUI::Window* question() const { return m_question; }
    CEGUI::Window* yesButton() const { return m_yes; }
    CEGUI::Window* noButton() const { return m_no; }

private:
    CEGUI::Window* m_frame;
    CEGUI::Window* m_question;
    CEGUI::Window* m_yes;
    CEGUI::Window* m_no;
};
