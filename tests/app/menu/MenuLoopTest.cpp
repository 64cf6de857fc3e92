#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "app/menu/CreditsScreen.h"
#include "app/menu/HighscoresScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "app/menu/MultiplayerSelectScreen.h"
#include "app/menu/SplashScreen.h"
#include "engine/platform/Report.h"
#include "engine/scene/LW6Scene.h"
#include "game/records/TextTable.h"
#include "tests/app/menu/MenuFixture.h"

namespace {

// A set-up screen as the loop sees one: a sheet, a result, and a count of its applies.
class StandInSetUpScreen : public GuiScreen {
public:
    explicit StandInSetUpScreen(Menu* owner) : GuiScreen(owner) { createRoot(""); }
    const char* name() const override { return "TimeTrialScreen"; }
    void apply() override { ++applies; }
    int applies = 0;
};

// The demo data with one member missing, as a damaged install would be.
class FileWithout : public File {
public:
    FileWithout(File& files, std::string missing) : m_files(files.clone()), m_missing(std::move(missing)) {}
    File* clone() override { return new FileWithout(*m_files, m_missing); }
    bool exists(const char* name) override { return !isMissing(name) && m_files->exists(name); }
    bool open(const char* name) override {
        if (isMissing(name) || !m_files->open(name)) return false;
        m_size = m_files->getSize();
        return true;
    }
    bool create(const char*) override { return false; }
    bool close() override { return m_files->close(); }
    int32_t read(void* buffer, uint32_t count) override { return m_files->read(buffer, count); }
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override { return m_files->seek(position); }
    bool skip(int32_t count) override { return m_files->skip(count); }
    uint32_t tell() override { return m_files->tell(); }

private:
    bool isMissing(const char* name) const {
        const size_t length = std::strlen(name);
        return length >= m_missing.size() && m_missing == name + length - m_missing.size();
    }
    std::unique_ptr<File> m_files;
    std::string m_missing;
};

FileWithout& demoDataWithoutTracksMini() {
    static FileWithout files(demoArchive(), "Tracks_mini.imageset");
    return files;
}

class MenuWithoutAnImagesetTest : public MenuTest {
protected:
    MenuWithoutAnImagesetTest() : MenuTest(demoDataWithoutTracksMini()) {}
};

} // namespace

TEST_F(MenuTest, SetUpOpensOnTheSplashFirstAndTearDownFreesItAllForTheNextSetUp) {
    setUp(-1);
    EXPECT_EQ(m_menu.current, m_menu.splash.get());
    EXPECT_EQ(sheet(), m_menu.splash->root());
    EXPECT_EQ(m_menu.texts->m_language, 0);
    for (LW6Scene* scene : m_menu.carScenes) EXPECT_NE(scene, nullptr);
    EXPECT_EQ(m_menu.carScenes[2 * 4 + 1]->m_fileName, "D:\\Vantorik/menu/car_select/carselect_roller1_gruen.lws");
    EXPECT_TRUE(imagesetPresent("main"));
    EXPECT_TRUE(imagesetPresent("Tracks_Greyscale"));
    EXPECT_TRUE(imagesetPresent("Flags"));
    ASSERT_NE(music(), nullptr);
    EXPECT_TRUE(music()->isPlaying());
    EXPECT_TRUE(music()->looping);
    EXPECT_FLOAT_EQ(music()->volume, 0.70f);
    EXPECT_FLOAT_EQ(click()->volume, 50 * 0.007f);
    EXPECT_EQ(music()->getSource()->getName(), "D:\\Vantorik\\musics\\menu.ogg");
    EXPECT_TRUE(m_gui.context.m_guiContext->getMouseCursor().isVisible());

    std::filesystem::remove(Config::FILE_NAME);
    menuTeardown(m_menu);
    EXPECT_TRUE(std::filesystem::exists(Config::FILE_NAME));
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(m_menu.current, nullptr);
    EXPECT_FALSE(m_menu.splash || m_menu.mainMenu || m_menu.texts || m_menu.scene || m_menu.music || m_menu.click);
    for (LW6Scene* scene : m_menu.carScenes) EXPECT_EQ(scene, nullptr);
    EXPECT_FALSE(imagesetPresent("main"));
    EXPECT_FALSE(imagesetPresent("Tracks_Greyscale"));
    EXPECT_EQ(m_sounds.getSoundCount(), 0u);

    // The race's high-score request opens the high scores; without it, a
    // language opens the main menu.
    m_config->m_showHighscores = true;
    setUp(2);
    EXPECT_EQ(m_menu.current, m_menu.highscores.get());
    m_menu.current->setResult(1);
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    EXPECT_EQ(sheet(), m_menu.mainMenu->root());
    EXPECT_EQ(m_menu.texts->m_language, 2);
    EXPECT_EQ(text(m_menu.mainMenu->caption(MainMenuScreen::TIME_TRIAL)), "Contre-la-montre");
    EXPECT_TRUE(imagesetPresent("main"));
    menuTeardown(m_menu);
}

TEST_F(MenuTest, GuiPulseGetsTheTimeSinceTheLastFrame) {
    setUp(1);
    std::vector<float> pulses;
    m_menu.mainMenu->root()->subscribeEvent(CEGUI::Window::EventUpdated, [&](const CEGUI::EventArgs& args) {
        pulses.push_back(static_cast<const CEGUI::UpdateEventArgs&>(args).d_timeSinceLastFrame);
        return true;
    });
    for (int frame = 0; frame < 3; ++frame) {
        m_ticks.advance(0.25);
        menuFrame(m_menu);
    }
    ASSERT_EQ(pulses.size(), 3u);
    for (float pulse : pulses) EXPECT_NEAR(pulse, 0.25f, 1e-5f);
    EXPECT_NEAR(m_menu.time, 0.75f, 1e-5f);
    menuTeardown(m_menu);
}

TEST_F(MenuTest, MainMenuButtonsReportTheirCodesAndASetUpScreenDrawsItsPreviewInItsFrame) {
    setUp(1);
    MainMenuScreen& mainMenu = *m_menu.mainMenu;
    const GuiScreen* const targets[MainMenuScreen::BUTTONS] = {
        m_menu.timeTrial.get(),         m_menu.singleRace.get(), m_menu.championship.get(), m_menu.twoPlayers.get(),
        m_menu.multiplayerSelect.get(), m_menu.highscores.get(), m_menu.options.get(),      m_menu.credits.get()};
    for (int b = 0; b < MainMenuScreen::BUTTONS; ++b) {
        click(mainMenu.button(MainMenuScreen::Button(b)));
        EXPECT_EQ(mainMenu.result(), MainMenuScreen::RESULT_CODES[b]);
        // A screen the menu does not have yet leaves it where it is; every other one goes back by its result 1.
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, targets[b] ? targets[b] : &mainMenu) << b;
        m_menu.current->setResult(1);
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, &mainMenu) << b;
    }
    // The options' detail buttons take their stored state on the first entry, each with its click.
    EXPECT_EQ(click()->plays, MainMenuScreen::BUTTONS + 2);
    EXPECT_FLOAT_EQ(click()->volume, 0.5f);

    auto* timeTrial = new StandInSetUpScreen(&m_menu);
    m_menu.timeTrial.reset(timeTrial);
    m_config->m_settings.m_timeTrialModel.value = 2;
    m_config->m_settings.m_timeTrialColour.value = 1;
    click(mainMenu.button(MainMenuScreen::TIME_TRIAL));
    menuFrame(m_menu);
    ASSERT_EQ(m_menu.current, timeTrial);
    EXPECT_EQ(sheet(), timeTrial->root());
    EXPECT_EQ(mainMenu.result(), -1);

    sys::gfx::RecordingDevice& device = m_device.recording();
    device.clearCalls();
    m_ticks.advance(0.5);
    menuFrame(m_menu);
    std::vector<std::string> viewports;
    for (const std::string& call : device.calls())
        if (call.rfind("setViewport", 0) == 0 && (viewports.empty() || viewports.back() != call))
            viewports.push_back(call);
    EXPECT_EQ(viewports, (std::vector<std::string>{"setViewport 90 22 412 331 0 1", "setViewport 0 0 1024 768 0 1"}));
    for (int s = 0; s < Menu::PREVIEW_SCENES; ++s)
        EXPECT_EQ(m_menu.carScenes[s]->m_lastParticleTime >= 0.0, s == 2 * 4 + 1) << s;

    // Start: the screen is left, then applied, and the frame draws no preview.
    timeTrial->setResult(0);
    device.clearCalls();
    menuFrame(m_menu);
    EXPECT_TRUE(m_menu.startRace);
    EXPECT_EQ(timeTrial->applies, 1);
    EXPECT_EQ(timeTrial->result(), -1);
    for (const std::string& call : device.calls()) EXPECT_EQ(call.find("setViewport 90"), std::string::npos);

    timeTrial->setResult(1);
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, &mainMenu);
    menuTeardown(m_menu);
}

TEST_F(MenuWithoutAnImagesetTest, MissingImagesetIsLoggedAndTheSetUpGoesOn) {
    const std::string logPath = m_dir.file("log.txt");
    g_logStream.close();
    g_logStream.open(logPath, std::ios::out | std::ios::trunc);
    setUp(1);
    g_logStream.close();
    g_logStream.open("/dev/null", std::ios::out | std::ios::app);
    std::stringstream log;
    log << std::ifstream(logPath).rdbuf();
    EXPECT_NE(log.str().find("Tracks_mini.imageset"), std::string::npos) << log.str();
    EXPECT_FALSE(imagesetPresent("Tracks_mini"));
    EXPECT_TRUE(imagesetPresent("Tracks_Greyscale"));
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    menuTeardown(m_menu);
}
