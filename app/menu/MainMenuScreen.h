#pragma once
#include <memory>

#include "app/menu/GuiScreen.h"

class MessageWindow;
class QuitQuestion;

// The hub of the menu: a round button with a caption for each game mode, the
// high scores, the options and the credits, and an off button that asks
// whether to quit. It only reports codes; the menu loop switches screens.
class MainMenuScreen : public GuiScreen {
public:
    static constexpr const char* NAME = "MainMenuScreen";
    // Buttons and their captions in this order; the button's result is 100 + its code.
    enum Button { TIME_TRIAL, SINGLE_RACE, CHAMPIONSHIP, TWO_PLAYERS, LAN, HIGHSCORES, OPTIONS, CREDITS, BUTTONS };
    static constexpr int RESULT_CODES[BUTTONS] = {100, 101, 102, 103, 104, 107, 108, 109};

    explicit MainMenuScreen(Menu* owner);
    ~MainMenuScreen() override;

    const char* name() const override { return NAME; }
    // The texts in the menu's current language, then the base enter.
    void enter() override;
    // Escape: the question without the click.
    void showQuitDialog();

    QuitQuestion& quitQuestion() const { return *m_quit; }
    CEGUI::Window* offButton() const { return m_off; }
    CEGUI::Window* button(Button b) const { return m_buttons[b]; }
    CEGUI::Window* caption(Button b) const { return m_captions[b]; }

private:
    std::unique_ptr<QuitQuestion> m_quit;
    // A LAN race that never came up is told here.
    std::unique_ptr<MessageWindow> m_lost;
    CEGUI::Window* m_off = nullptr;
    CEGUI::Window* m_buttons[BUTTONS] = {};
    CEGUI::Window* m_captions[BUTTONS] = {};
    CEGUI::Window* m_logo = nullptr;
};
