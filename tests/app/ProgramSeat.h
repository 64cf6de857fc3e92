#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/ChildProcess.h"
#include "tests/app/ScreenPlaces.h"
#include "tests/app/VirtualDisplay.h"
#include "tests/support/TempDir.h"

// One place at which the real program runs as a player's computer would: a
// private virtual display driven by real input events, its own home, instance
// folder and no settings file. The steps every run takes (the language screen,
// the quit question) and the pictures.
class Config;

class ProgramSeat {
public:
    using Picture = VirtualDisplay::Picture;
    static constexpr int SCREEN_WIDTH = 1024;
    static constexpr int SCREEN_HEIGHT = 768;
    static constexpr const char* TITLE = "plimzor2";
    static constexpr std::chrono::milliseconds POLL{100};

    // Brings up the display; false when no private X server could start.
    // A font path replaces the server's own (see VirtualDisplay).
    bool open(int width = SCREEN_WIDTH, int height = SCREEN_HEIGHT, const std::string& fontPath = "");

    VirtualDisplay& screen() { return *m_screen; }
    std::string home() const { return m_dir.file("home"); }
    std::string log() const;

    // The program, started through `prefix` when one is given (another user, say).
    std::unique_ptr<ChildProcess> start(const std::string& name, std::map<std::string, std::string> extra = {},
                                        const std::vector<std::string>& prefix = {});

    // False when the game ended or the time ran out first.
    bool waitForLog(ChildProcess& game, const std::string& line, std::chrono::milliseconds timeout, int times = 1);

    Picture grabScreen() { return m_screen->grab(0, 0, m_width, m_height); }
    // Two grabs a moment apart that agree: the program has drawn what it will draw.
    Picture steadyPicture(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The first picture that differs from `before` in at least that share of
    // its pixels, or the last one when the time ran out.
    Picture firstChange(const Picture& before, double share,
                        std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // The same, once steady.
    Picture changedPicture(const Picture& before, double share,
                           std::chrono::milliseconds timeout = std::chrono::seconds(15));
    static void save(const Picture& picture, const std::string& name);
    // The share of a picture's pixels that are not black.
    static double litShare(const Picture& picture);

    void clickAt(int x, int y);
    // The language screen once the menu runs, or an empty picture when it never shows.
    Picture waitForSplash(ChildProcess& game);
    // The English flag: the main menu's picture.
    Picture chooseEnglish();
    // Escape on the main menu: the quit question's picture.
    Picture askToQuit(const Picture& menu);
    void answerYes();
    // Clicks and waits until the picture changed by that share.
    Picture clickAndLook(Point p, const Picture& before, double share = 0.002);
    // From the start on a fresh home to the English main menu, or an empty picture.
    Picture mainMenu(ChildProcess& game);
    // Waits for that many races to have come up, starts the last one's
    // countdown and waits for its start: the picture before Space, or an empty one.
    Picture startRace(ChildProcess& game, int races = 1);
    // Escape, tapped in a race, then "Back to menu" in the pause window: the
    // window's picture, or an empty one when the log never told it opened.
    Picture leaveRaceByPause(ChildProcess& game, const Picture& race);
    // Presses Space (and whatever `alsoPress` presses elsewhere) until the log shows the countdown of the
    // race numbered `races`; false when it never does.
    bool pressSpaceUntilCountdown(ChildProcess& game, int races = 1, const std::function<void()>& alsoPress = {});

    // Runs `work` in the program's home, where it keeps "config.dat" and "highscore.dat".
    void inHome(const std::function<void()>& work) const;
    // The configuration as the program keeps it: read, changed by `edit` and written back.
    void editConfig(const std::function<void(Config&)>& edit) const;

protected:
    TempDir m_dir;
    std::unique_ptr<VirtualDisplay> m_screen;
    int m_width = SCREEN_WIDTH, m_height = SCREEN_HEIGHT;
    // Pixels from the point aimed at; the GUI's double clicks lie within 6.
    int m_clickAside = 7;
};
