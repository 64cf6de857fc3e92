#include <gtest/gtest.h>

#include "app/menu/MainMenuScreen.h"
#include "app/menu/QuitQuestion.h"
#include "app/menu/SplashScreen.h"
#include "game/records/TextTable.h"
#include "tests/app/menu/MenuFixture.h"

namespace {

constexpr uint8_t KEY_ESCAPE = 1;

} // namespace

TEST_F(MenuTest, SplashAsksToQuitOnEscapeAndAFlagSwitchesToTheMainMenuInItsLanguage) {
    // Before a flag, the language the program found at start speaks; none is stored.
    m_menu.startLanguage = 1;
    setUp(-1);
    SplashScreen& splash = *m_menu.splash;
    m_gui.input.m_keys[KEY_ESCAPE] = 1;
    injectInput(m_gui.input, m_menu);
    EXPECT_TRUE(splash.quitQuestion().isShown());
    EXPECT_EQ(text(splash.quitQuestion().question()), "Do you really want to quit Plimzor 2?");
    EXPECT_EQ(text(splash.quitQuestion().yesButton()), "Yes");
    EXPECT_EQ(text(splash.quitQuestion().noButton()), "No");
    EXPECT_EQ(m_config->m_settings.m_language, -1);
    click(splash.quitQuestion().noButton());
    EXPECT_FALSE(splash.quitQuestion().isShown());
    EXPECT_EQ(splash.result(), -1);

    click(splash.flag(3));
    EXPECT_EQ(m_config->m_settings.m_language, 3);
    EXPECT_EQ(m_menu.texts->m_language, 3);
    EXPECT_EQ(splash.result(), 0);
    EXPECT_EQ(click()->plays, 2);
    EXPECT_FLOAT_EQ(click()->volume, 0.5f);

    menuFrame(m_menu);
    ASSERT_EQ(m_menu.current, m_menu.mainMenu.get());
    EXPECT_EQ(sheet(), m_menu.mainMenu->root());
    EXPECT_EQ(splash.result(), -1);
    EXPECT_FALSE(imagesetPresent("Flags"));
    const MainMenuScreen& mainMenu = *m_menu.mainMenu;
    EXPECT_EQ(text(mainMenu.caption(MainMenuScreen::TIME_TRIAL)), "Contrarreloj");
    EXPECT_EQ(text(mainMenu.caption(MainMenuScreen::SINGLE_RACE)), "Carrera simple");
    EXPECT_EQ(text(mainMenu.caption(MainMenuScreen::CREDITS)), "Créditos");
    EXPECT_EQ(text(mainMenu.quitQuestion().yesButton()), "Sí");
    EXPECT_EQ(text(mainMenu.quitQuestion().question()), "¿Seguro que quieres salir de Plimzor 2?");
    menuTeardown(m_menu);
}

TEST_F(MenuTest, EveryEntryOfTheSplashLoadsTheFlagsAnewAndEachFlagWritesItsOwnIndex) {
    const char* const codes[] = {"DE", "EN", "FR", "SP", "IT", "RU"};
    setUp(-1);
    for (int language = 0; language < SplashScreen::LANGUAGES; ++language) {
        switchScreen(m_menu, m_menu.splash.get());
        ASSERT_TRUE(imagesetPresent("Flags"));
        CEGUI::Window* flag = m_menu.splash->flag(language);
        EXPECT_EQ(std::string(flag->getProperty("NormalImage").c_str()),
                  std::string("Flags/Flag") + codes[language] + "_Normal");
        EXPECT_EQ(std::string(flag->getProperty("HoverImage").c_str()),
                  std::string("Flags/Flag") + codes[language] + "_Hover");
        click(flag);
        EXPECT_EQ(m_config->m_settings.m_language, language);
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
        EXPECT_FALSE(imagesetPresent("Flags"));
    }
    menuTeardown(m_menu);
}

TEST_F(MenuTest, EscapeAsksOnceNoClosesItAndYesSavesTheConfigurationAndEnds) {
    setUp(1);
    MainMenuScreen& mainMenu = *m_menu.mainMenu;
    QuitQuestion& question = mainMenu.quitQuestion();
    EXPECT_FALSE(question.isShown());
    m_gui.input.m_keys[KEY_ESCAPE] = 1;
    injectInput(m_gui.input, m_menu);
    EXPECT_TRUE(question.isShown());
    EXPECT_EQ(m_gui.context.m_guiContext->getModalWindow(), question.frame());
    EXPECT_EQ(click()->plays, 0);
    m_gui.input.m_keys[KEY_ESCAPE] = 1;
    injectInput(m_gui.input, m_menu);
    EXPECT_TRUE(question.isShown());

    click(question.noButton());
    EXPECT_FALSE(question.isShown());
    EXPECT_EQ(m_gui.context.m_guiContext->getModalWindow(), nullptr);
    EXPECT_EQ(mainMenu.result(), -1);
    menuFrame(m_menu);
    EXPECT_FALSE(m_menu.done);

    // The off button asks the same; yes ends the menu with the choices saved.
    click(mainMenu.offButton());
    EXPECT_TRUE(question.isShown());
    m_config->m_settings.m_language = 4;
    std::filesystem::remove(Config::FILE_NAME);
    click(question.yesButton());
    EXPECT_FALSE(question.isShown());
    EXPECT_EQ(mainMenu.result(), 999);
    EXPECT_FALSE(std::filesystem::exists(Config::FILE_NAME));
    menuFrame(m_menu);
    EXPECT_TRUE(m_menu.done);
    Config saved(nullptr, ".");
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.m_settings.m_language, 4);
    menuTeardown(m_menu);
}
