#pragma once
#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/menu/HighscoresScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "game/records/HighscoreTables.h"
#include "game/records/TextTable.h"
#include "tests/app/menu/MenuFixture.h"

// The menu with its high-score screen, "highscore.dat" written by the test in
// the scratch folder, and a settings file that is the test's alone.
class HighscoreTest : public MenuTest {
protected:
    HighscoreTest() { setenv("PLIMZOR_SETTINGS", m_dir.file("settings").c_str(), 1); }
    ~HighscoreTest() override { unsetenv("PLIMZOR_SETTINGS"); }

    // Tables as a fresh game writes them, changed by `fill`.
    static void writeTables(const std::function<void(HighscoreTables&)>& fill) {
        HighscoreTables tables;
        tables.reset();
        fill(tables);
        ASSERT_TRUE(tables.save(HighscoreTables::FILE_NAME));
    }
    static std::unique_ptr<HighscoreTables> savedTables() {
        auto tables = std::make_unique<HighscoreTables>();
        EXPECT_TRUE(tables->load(HighscoreTables::FILE_NAME));
        return tables;
    }
    // Enters the screen as after a race that asks for `mode` and `track`.
    HighscoresScreen& openAsRaceAsks(int mode, int track) {
        // Leaving the screen forgets the request.
        switchScreen(m_menu, m_menu.mainMenu.get());
        m_config->m_showHighscores = true;
        m_config->m_highscoreTable = mode;
        m_config->m_highscoreTrack = track;
        switchScreen(m_menu, m_menu.highscores.get());
        return screen();
    }
    // Menu frames until a submission's reply is handled; false when that takes longer.
    bool finishSending(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        while (screen().sending() && std::chrono::steady_clock::now() < giveUp) {
            menuFrame(m_menu);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return !screen().sending();
    }
    HighscoresScreen& screen() const { return static_cast<HighscoresScreen&>(*m_menu.highscores); }
    CEGUI::Window* widget(HighscoresScreen::Widget w) const { return screen().widget(w); }
    std::string words(int id) const { return m_menu.texts->getText(id).c_str(); }
    // Types into an edit box and presses Enter.
    void enter(HighscoresScreen::Widget box, const char* typed) const {
        widget(box)->setText(typed);
        CEGUI::WindowEventArgs args(widget(box));
        widget(box)->fireEvent(CEGUI::Editbox::EventTextAccepted, args, CEGUI::Editbox::EventNamespace);
    }
    // The high-score service on the loopback address, signing with the test's salt.
    void useService(uint16_t port, int timeoutSeconds) const {
        char settings[256];
        std::snprintf(settings, sizeof settings,
                      "[Software\\Quarnholt\\Morvane]\nHighscoreServer=\"127.0.0.1\"\nHighscorePort=dword:%x\n"
                      "HighscoreSalt=\"%s\"\nHighscoreTimeout=dword:%x\n",
                      port, SALT, timeoutSeconds);
        m_dir.write("settings", settings);
    }

    static constexpr const char* SALT = "TestSaltTestSaltTestSaltTestSalt";
};
