#pragma once
#include <string>
#include <vector>

#include "app/menu/GuiScreen.h"

// The credits: every line of the credits file as a centred, shadowed text,
// rolling up the night sky in an endless loop, fading in at the bottom and
// out at the top. The lines are read once, when the menu is built, and stand
// still while another screen shows.
class CreditsScreen : public GuiScreen {
public:
    static constexpr const char* NAME = "CreditsScreen";
    static constexpr const char* FILE_NAME = "D:\\Vantorik/menu/Credits.txt";
    static constexpr int32_t BACK = 1;

    // One line of the file on the 1024 x 768 layout; only y changes.
    struct CreditLine {
        float x, y, width, height;
        CEGUI::Window* text;
        CEGUI::Window* shadow;
    };

    explicit CreditsScreen(Menu* owner);

    const char* name() const override { return NAME; }
    // One frame of motion by the menu's frame time.
    void scroll();

    CEGUI::Window* backButton() const { return m_back; }
    const std::vector<CreditLine>& lines() const { return m_lines; }

private:
    // A missing file leaves the screen without lines, logged.
    void readCredits();
    void addLine(const std::string& line);
    CEGUI::Window* createLineWindow(const CEGUI::String& text, const char* font, uint32_t argb, float x, float y);
    static void place(const CreditLine& line);

    CEGUI::Window* m_back = nullptr;
    std::vector<CreditLine> m_lines;
};
