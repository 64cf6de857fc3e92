// The menu drawn through the GL device on a 1024 x 768 back buffer under the
// virtual display and read back. PLIMZOR_MENU_PNG names a folder to keep the pictures in.
#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "app/menu/CreditsScreen.h"
#include "app/menu/GuiScreen.h"
#include "app/menu/HighscoresScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "app/menu/Menu.h"
#include "app/menu/MenuLoop.h"
#include "app/menu/MessageWindow.h"
#include "app/menu/MultiplayerScreen.h"
#include "app/menu/MultiplayerSelectScreen.h"
#include "app/menu/OptionsScreen.h"
#include "app/menu/SplashScreen.h"
#include "app/menu/TwoPlayersScreen.h"
#include "app/program/FrameLoop.h"
#include "app/program/MenuPhase.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"
#include "net/GameServer.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/SurfaceImage.h"
#include "sys/window/Window.h"
#include "tests/app/menu/RemotePlayer.h"
#include "tests/support/DemoArchive.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"

namespace {

// A set-up screen without a picture, so that only its preview shows.
class BareSetUpScreen : public GuiScreen {
public:
    explicit BareSetUpScreen(Menu* owner) : GuiScreen(owner) { createRoot(""); }
    const char* name() const override { return "TimeTrialScreen"; }
};

// The menu's side of the frame pump for a given number of turns.
class MenuTurns : public MenuPhase {
public:
    MenuTurns(Menu& menu, int turns) : MenuPhase(menu), m_turns(turns) {}
    bool running() const override { return m_turns-- > 0 && MenuPhase::running(); }

private:
    mutable int m_turns;
};

void pickFromList(CEGUI::Window* list, size_t index) {
    CEGUI::ComboDropList& drop = *static_cast<CEGUI::Combobox*>(list)->getDropList();
    drop.setItemSelectState(index, true);
    CEGUI::WindowEventArgs args(&drop);
    drop.fireEvent(CEGUI::ComboDropList::EventListSelectionAccepted, args, CEGUI::ComboDropList::EventNamespace);
}

class MenuDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        m_workingDirectory = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path());
        if (!sys::Window::videoAvailable()) GTEST_SKIP() << "no display: the test needs X (xvfb-run -a)";
        m_render = makeWindowedDevice(1024, 768);
        ASSERT_NE(m_render, nullptr);
        m_renderer = std::make_unique<SceneRenderer>(*m_render);
        m_gui = std::make_unique<GuiContext>();
        ASSERT_TRUE(setupCegui(*m_renderer, *m_gui, m_input, demoArchive()));
        m_config = std::make_unique<Config>(&m_input, ".");
        m_menu = std::make_unique<Menu>();
        m_menu->renderer = m_renderer.get();
        m_menu->gui = m_gui.get();
        m_menu->run = &m_run;
    }
    void TearDown() override {
        if (m_menu && m_menu->scene) menuTeardown(*m_menu);
        m_menu.reset();
        m_config.reset();
        m_gui.reset();
        m_renderer.reset();
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
        std::filesystem::current_path(m_workingDirectory);
    }

    sys::gfx::RgbImage drawnFrame() {
        menuFrame(*m_menu);
        return backBuffer();
    }
    sys::gfx::RgbImage backBuffer() {
        sys::gfx::RgbImage image;
        sys::gfx::Surface* back = nullptr;
        m_renderer->m_currentDevice->getBackBuffer(0, 0, 0, &back);
        EXPECT_TRUE(back && sys::gfx::readSurface(*back, image));
        if (back) back->release();
        return image;
    }
    void keep(const sys::gfx::RgbImage& image, const char* name) {
        const char* folder = std::getenv("PLIMZOR_MENU_PNG");
        EXPECT_TRUE(sys::gfx::writePng(image, (folder ? std::string(folder) + "/" : m_dir.file("")) + name));
    }
    static const uint8_t* pixel(const sys::gfx::RgbImage& image, int x, int y) {
        return &image.rgb[(size_t(y) * image.width + x) * 3];
    }
    static bool isDark(const sys::gfx::RgbImage& image, int x, int y) {
        const uint8_t* p = pixel(image, x, y);
        return p[0] < 40 && p[1] < 40 && p[2] < 40;
    }

    TempDir m_dir;
    std::filesystem::path m_workingDirectory;
    std::unique_ptr<RenderDevice> m_render;
    std::unique_ptr<Renderer> m_renderer;
    InputDevice m_input;
    std::unique_ptr<GuiContext> m_gui;
    std::unique_ptr<Config> m_config;
    RunState m_run;
    std::unique_ptr<Menu> m_menu;
};

} // namespace

TEST_F(MenuDrawing, SplashShowsItsFlagsAndTheMainMenuItsButtons) {
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    const sys::gfx::RgbImage splash = drawnFrame();
    ASSERT_EQ(splash.width, 1024u);
    keep(splash, "splash.png");
    // The black stripe of the German flag, first in the row.
    EXPECT_TRUE(isDark(splash, 136, 695));

    CEGUI::Window* english = m_menu->splash->flag(1);
    CEGUI::WindowEventArgs args(english);
    english->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    drawnFrame();
    const sys::gfx::RgbImage mainMenu = drawnFrame();
    keep(mainMenu, "main-menu.png");
    // The amber face of the off button, bottom left.
    const uint8_t* off = pixel(mainMenu, 40, 700);
    EXPECT_TRUE(off[0] > 180 && off[1] > 110 && off[1] < 200 && off[2] < 90)
        << int(off[0]) << " " << int(off[1]) << " " << int(off[2]);
    m_menu->mainMenu->showQuitDialog();
    keep(drawnFrame(), "main-menu-quit.png");
}

TEST_F(MenuDrawing, SetUpScreensShowTheirMopedTrackAndButtons) {
    m_config->m_settings.m_language = 1;
    m_config->m_settings.m_timeTrialTrack.value = 2;
    m_config->m_settings.m_singleRaceModel.value = 3;
    m_config->m_settings.m_singleRaceColour.value = 3;
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    const std::pair<GuiScreen*, const char*> screens[] = {{m_menu->timeTrial.get(), "time-trial.png"},
                                                          {m_menu->singleRace.get(), "single-race.png"},
                                                          {m_menu->championship.get(), "championship.png"}};
    for (const auto& [screen, file] : screens) {
        switchScreen(*m_menu, screen);
        const sys::gfx::RgbImage image = drawnFrame();
        keep(image, file);
        // The amber faces of the OK and back buttons in the bottom corners.
        for (int x : {40, 985}) {
            const uint8_t* p = pixel(image, x, 690);
            EXPECT_TRUE(p[0] > 180 && p[1] > 110 && p[1] < 200 && p[2] < 90)
                << file << " " << x << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
        }
    }
}

TEST_F(MenuDrawing, PreviewStaysInsideItsRectangle) {
    m_config->m_settings.m_language = 1;
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    m_menu->timeTrial = std::make_unique<BareSetUpScreen>(m_menu.get());
    switchScreen(*m_menu, m_menu->timeTrial.get());
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    const sys::gfx::RgbImage image = drawnFrame();
    keep(image, "preview.png");
    int inside = 0, outside = 0;
    for (int y = 0; y < int(image.height); ++y)
        for (int x = 0; x < int(image.width); ++x) {
            const uint8_t* p = pixel(image, x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            (x >= 90 && x < 90 + 412 && y >= 22 && y < 22 + 331 ? inside : outside)++;
        }
    EXPECT_GT(inside, 412 * 331 / 10);
    EXPECT_EQ(outside, 0);
}

TEST_F(MenuDrawing, TwoPlayerScreenShowsEachPlayersMopedInItsWindow) {
    m_config->m_settings.m_language = 1;
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    switchScreen(*m_menu, m_menu->twoPlayers.get());
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    const sys::gfx::RgbImage championship = drawnFrame();
    keep(championship, "two-players.png");
    // Each window shows a moped on its plinth over the preview's black, in the player's colour:
    // blue for the first, green for the second.
    auto countPaint = [&](int left, int channel) {
        int count = 0;
        for (int y = 20; y < 256; ++y)
            for (int x = left + 10; x < left + 312; ++x) {
                const uint8_t* p = pixel(championship, x, y);
                const int others = channel == 2 ? std::max(p[0], p[1]) : std::max(p[0], p[2]);
                if (p[channel] > 100 && p[channel] > others + 40) ++count;
            }
        return count;
    };
    EXPECT_GT(countPaint(150, 2), 1000);
    EXPECT_LT(countPaint(150, 1), 200);
    EXPECT_GT(countPaint(559, 1), 1000);
    EXPECT_LT(countPaint(559, 2), 200);

    CEGUI::Window* modeRight = static_cast<TwoPlayersScreen&>(*m_menu->twoPlayers).widget(TwoPlayersScreen::MODE_RIGHT);
    CEGUI::WindowEventArgs args(modeRight);
    modeRight->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    drawnFrame();
    keep(drawnFrame(), "two-players-single-race.png");
}

TEST_F(MenuDrawing, HighscoreScreenShowsAFilledTableAndItsDialogs) {
    const char* const names[] = {"Ana", "Bo", "Cleo Martinez", "Dmitri", "Eva", "Finn", "Greta", "Hugo", "Ines", "Jo"};
    HighscoreTables tables;
    tables.reset();
    for (int rank = 0; rank < HighscoresScreen::ROWS; ++rank)
        tables.getTimeTrial().setEntry(0, rank,
                                       HighscoreEntry(95.37f + 4.1f * rank, 0, names[rank], uint8_t(rank % 4),
                                                      uint8_t(rank % 5)));
    tables.getChampionship().setEntry(0, 0, HighscoreEntry(612.5f, 42, "Ana", 2, 3));
    ASSERT_TRUE(tables.save(HighscoreTables::FILE_NAME));
    m_config->m_settings.m_language = 1;
    m_config->m_showHighscores = true;
    m_config->m_highscoreTable = HighscoresScreen::TIME_TRIAL;
    m_config->m_highscoreTrack = 0;
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    auto& screen = static_cast<HighscoresScreen&>(*m_menu->highscores);
    ASSERT_EQ(m_menu->current, &screen);
    const sys::gfx::RgbImage table = drawnFrame();
    keep(table, "highscores.png");
    // Black letters in the first row's name cell, none in the empty space between two rows.
    auto darkIn = [&](int left, int top, int width, int height) {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) count += isDark(table, x, y);
        return count;
    };
    EXPECT_GT(darkIn(200, 172, 100, 26), 40);
    EXPECT_EQ(darkIn(200, 206, 100, 1), 0);

    screen.onNextMode();
    screen.onNextMode();
    screen.onSubmit();
    screen.widget(HighscoresScreen::NAME_BOX)->setText("Ana");
    screen.widget(HighscoresScreen::PASSWORD_BOX)->setText("secret");
    keep(drawnFrame(), "highscores-submit.png");
    screen.onSubmitCancel();
    screen.showMessage(m_menu->texts->getText(10101));
    keep(drawnFrame(), "highscores-message.png");
}

TEST_F(MenuDrawing, CreditsRollUpFromTheBottomOfTheNightSky) {
    m_config->m_settings.m_language = 1;
    File* const oldFiles = g_fileSystem;
    g_fileSystem = &demoArchive();
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    g_fileSystem = oldFiles;
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    switchScreen(*m_menu, m_menu->credits.get());
    // Bright pixels in a band of the screen: letters, and a few stars (under 100 over the empty sky).
    auto letters = [](const sys::gfx::RgbImage& image, int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 150; x < 820; ++x) {
                const uint8_t* p = pixel(image, x, y);
                if (p[0] > 220 && p[1] > 220 && p[2] > 220) ++count;
            }
        return count;
    };
    // Ten seconds in, at 50 frames a second, the title stands in the middle over an empty sky.
    m_menu->delta = 0.02f;
    for (int frame = 0; frame < 500; ++frame) m_menu->credits->scroll();
    const sys::gfx::RgbImage start = drawnFrame();
    keep(start, "credits.png");
    EXPECT_GT(letters(start, 270, 300), 200);
    EXPECT_LT(letters(start, 20, 240), 150);
    const uint8_t* back = pixel(start, 40, 690);
    EXPECT_TRUE(back[0] > 180 && back[1] > 110 && back[1] < 200 && back[2] < 90);
    // Half a minute on, the libraries fill the sky from top to bottom.
    for (int frame = 0; frame < 1500; ++frame) m_menu->credits->scroll();
    const sys::gfx::RgbImage later = drawnFrame();
    keep(later, "credits-later.png");
    EXPECT_GT(letters(later, 60, 240), 800);
}

TEST_F(MenuDrawing, OptionsShowTheirControlsAndANewModeResizesTheBackBufferAtTheNextFrame) {
    m_config->m_settings.m_language = 1;
    m_renderer->m_adapter->m_modes = {{640, 480, 60, 0}, {800, 600, 60, 0}, {1024, 768, 60, 0}, {1280, 720, 60, 0},
                                      {1280, 1024, 60, 0}, {1600, 900, 60, 0}, {1920, 1080, 60, 0}};
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    auto& options = static_cast<OptionsScreen&>(*m_menu->options);
    switchScreen(*m_menu, &options);
    const sys::gfx::RgbImage screen = drawnFrame();
    keep(screen, "options.png");
    // The amber faces of the OK and back buttons in the bottom corners.
    for (int x : {40, 985}) {
        const uint8_t* p = pixel(screen, x, 690);
        EXPECT_TRUE(p[0] > 180 && p[1] > 110 && p[1] < 200 && p[2] < 90)
            << x << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
    }
    // The labels write in black on the cream plate.
    int ink = 0;
    for (int y = 100; y < 130; ++y)
        for (int x = 203; x < 403; ++x) ink += isDark(screen, x, y);
    EXPECT_GT(ink, 50);

    auto* modes = static_cast<CEGUI::Combobox*>(options.widget(OptionsScreen::DISPLAY_MODES));
    modes->showDropList();
    keep(drawnFrame(), "options-modes.png");
    modes->hideDropList();
    CEGUI::Window* languages = options.widget(OptionsScreen::LANGUAGES);
    pickFromList(languages, 5);
    static_cast<CEGUI::Combobox*>(languages)->showDropList();
    keep(drawnFrame(), "options-languages-russian.png");
    static_cast<CEGUI::Combobox*>(languages)->hideDropList();

    // 800 x 600 after the window entry; OK, and the next turn of the pump draws the main menu at that size.
    pickFromList(modes, 1);
    CEGUI::Window* ok = options.widget(OptionsScreen::OK_BUTTON);
    CEGUI::WindowEventArgs args(ok);
    ok->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    EXPECT_TRUE(m_renderer->m_displayChanged);
    g_input = &m_input;
    FrameBudget budget;
    FrameLoop loop(*m_render, *m_renderer, budget);
    MenuTurns oneTurn(*m_menu, 1);
    loop.run(oneTurn);
    g_input = nullptr;
    EXPECT_EQ(m_menu->current, m_menu->mainMenu.get());
    const sys::gfx::RgbImage resized = backBuffer();
    keep(resized, "options-800x600.png");
    ASSERT_EQ(resized.width, 800u);
    ASSERT_EQ(resized.height, 600u);
    // The off button's amber face, where the main menu's layout puts it at this size.
    const uint8_t* off = pixel(resized, 40 * 800 / 1024, 700 * 600 / 768);
    EXPECT_TRUE(off[0] > 180 && off[1] > 110 && off[1] < 200 && off[2] < 90)
        << int(off[0]) << " " << int(off[1]) << " " << int(off[2]);
}

TEST_F(MenuDrawing, LanScreensShowTheRoleTheReasonAndTheLobbysPlayersWithTheOwnMoped) {
    m_config->m_settings.m_language = 1;
    std::strcpy(m_config->m_settings.m_playerName1, "Anna");
    GameDaemon::GameServer server(0);
    ASSERT_TRUE(server.start());
    NetControl::getInstance().setPort(server.getBoundPort());
    ASSERT_TRUE(menuSetup(*m_menu, demoArchive(), nullptr, *m_config));
    m_menu->gui->m_guiContext->getMouseCursor().hide();
    auto click = [](CEGUI::Window* button) {
        CEGUI::WindowEventArgs args(button);
        button->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    };

    auto& select = static_cast<MultiplayerSelectScreen&>(*m_menu->multiplayerSelect);
    switchScreen(*m_menu, &select);
    keep(drawnFrame(), "lan-select.png");
    static_cast<CEGUI::ToggleButton*>(select.widget(MultiplayerSelectScreen::JOIN))->setSelected(true);
    const sys::gfx::RgbImage join = drawnFrame();
    keep(join, "lan-select-join.png");
    // The amber faces of the back and OK buttons in the bottom corners.
    for (int x : {40, 985}) {
        const uint8_t* p = pixel(join, x, 690);
        EXPECT_TRUE(p[0] > 180 && p[1] > 110 && p[1] < 200 && p[2] < 90)
            << x << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
    }
    select.message().show(m_menu->texts->getText(9002));
    keep(drawnFrame(), "lan-select-message.png");
    select.message().hide();
    select.message().showWaiting(m_menu->texts->getText(9006));
    keep(drawnFrame(), "lan-select-connecting.png");
    select.message().hide();

    static_cast<CEGUI::ToggleButton*>(select.widget(MultiplayerSelectScreen::HOST))->setSelected(true);
    click(select.widget(MultiplayerSelectScreen::OK_BUTTON));
    MultiplayerScreen& lobby = *m_menu->multiplayer;
    for (int frame = 0; frame < 500 && m_menu->current != &lobby; ++frame) drawnFrame();
    ASSERT_EQ(m_menu->current, &lobby);
    click(lobby.widget(MultiplayerScreen::MODE_RIGHT));
    RemotePlayer bert(*m_config);
    ASSERT_TRUE(bert.join(server.getBoundPort()));
    bert.choose("Bert", 3, 3);
    bert.own().ready = 1;
    CEGUI::Window* bertsName = lobby.row(1, MultiplayerScreen::NAME_TEXT);
    for (int frame = 0; frame < 100 && bertsName->getText().empty(); ++frame) {
        bert.frame();
        drawnFrame();
    }
    const sys::gfx::RgbImage image = drawnFrame();
    keep(image, "lobby.png");
    EXPECT_EQ(bertsName->getText(), "Bert");
    // The own moped in the preview is the first model in blue.
    int blue = 0;
    for (int y = 30; y < 350; ++y)
        for (int x = 100; x < 505; ++x) {
            const uint8_t* p = pixel(image, x, y);
            if (p[2] > 100 && p[2] > std::max(p[0], p[1]) + 40) ++blue;
        }
    EXPECT_GT(blue, 1000);

    server.stop();
    for (int frame = 0; frame < 100 && !lobby.message().isShown(); ++frame) drawnFrame();
    EXPECT_TRUE(lobby.message().isShown());
    keep(drawnFrame(), "lobby-lost.png");
    NetControl::getInstance().disconnect();
    NetControl::getInstance().setPort(NetProtocol::GAME_PORT);
}
