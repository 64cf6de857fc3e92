#pragma once
#include <memory>

#include "app/menu/GuiScreen.h"

class QuitQuestion;

// The first screen of a run in which no language was chosen yet: a picture
// with a row of six flags; a flag sets the language and goes on (result 0).
// Its flag pictures are loaded only while it is shown.
class SplashScreen : public GuiScreen {
public:
    static constexpr const char* NAME = "SplashScreen";
    static constexpr int LANGUAGES = 6;

    explicit SplashScreen(Menu* owner);
    ~SplashScreen() override;

    const char* name() const override { return NAME; }
    // Loads the flags, sets the texts and pictures, then the base enter.
    void enter() override;
    // Frees the flags, then the base leave.
    void leave() override;
    // Escape: the question without the click.
    void showQuitDialog();

    QuitQuestion& quitQuestion() const { return *m_quit; }
    // By language index: German, English, French, Spanish, Italian, Russian.
    CEGUI::Window* flag(int language) const { return m_flags[language]; }

private:
    CEGUI::Window* m_flags[LANGUAGES] = {};
    std::unique_ptr<QuitQuestion> m_quit;
};
