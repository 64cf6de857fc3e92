#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/menu/MainMenuScreen.h"
#include "engine/platform/Timer.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/race/Race.h"
#include "tests/app/menu/HighscoreFixture.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/FullFolder.h"

namespace {

using Screen = HighscoresScreen;

} // namespace

TEST_F(HighscoreTest, FreshTablesShowDashesAndTheChampionshipLocksTheTrackArrows) {
    setUp(1);
    click(m_menu.mainMenu->button(MainMenuScreen::HIGHSCORES));
    menuFrame(m_menu);
    ASSERT_EQ(m_menu.current, &screen());
    EXPECT_TRUE(std::filesystem::exists(HighscoreTables::FILE_NAME));
    EXPECT_EQ(text(widget(Screen::TITLE)), "Time Trial");
    EXPECT_EQ(text(widget(Screen::TRACK_CAPTION)), words(3000));
    EXPECT_EQ(text(screen().header(Screen::COLOUR_COLUMN)), "Colour");
    for (int row = 0; row < Screen::ROWS; ++row) {
        EXPECT_EQ(text(screen().rank(row)), std::to_string(row + 1) + ".");
        for (int c = 0; c < Screen::COLUMNS; ++c) EXPECT_EQ(text(screen().cell(Screen::Column(c), row)), "--") << c;
    }

    click(widget(Screen::MODE_LEFT));
    EXPECT_EQ(screen().mode(), Screen::CHAMPIONSHIP);
    EXPECT_EQ(text(widget(Screen::TITLE)), "Championship");
    EXPECT_FALSE(widget(Screen::TRACK_CAPTION)->isVisible());
    EXPECT_TRUE(widget(Screen::TRACK_LEFT)->isDisabled());
    EXPECT_TRUE(widget(Screen::TRACK_RIGHT)->isDisabled());
    // No points without a driven time: an empty row is dashes all along.
    for (int row = 0; row < Screen::ROWS; ++row)
        for (int c = 0; c < Screen::COLUMNS; ++c) EXPECT_EQ(text(screen().cell(Screen::Column(c), row)), "--") << c;
    // A fresh table's placeholder time was never driven: nothing to send.
    EXPECT_TRUE(widget(Screen::SUBMIT)->isVisible());
    EXPECT_TRUE(widget(Screen::SUBMIT)->isDisabled());

    click(widget(Screen::MODE_RIGHT));
    click(widget(Screen::TRACK_LEFT));
    EXPECT_EQ(screen().mode(), Screen::TIME_TRIAL);
    EXPECT_TRUE(widget(Screen::TRACK_CAPTION)->isVisible());
    EXPECT_FALSE(widget(Screen::TRACK_RIGHT)->isDisabled());
    EXPECT_FALSE(widget(Screen::SUBMIT)->isVisible());
    EXPECT_EQ(text(widget(Screen::TRACK_CAPTION)), words(3500));
    menuTeardown(m_menu);
}

TEST_F(HighscoreTest, RaceRequestOpensItsTableAndLeavingForgetsIt) {
    writeTables([](HighscoreTables& tables) {
        tables.getSingleRace().setEntry(4, 0, HighscoreEntry(83.5f, 3, "Ana", 2, 1));
        tables.getSingleRace().setEntry(4, 1, HighscoreEntry(90.0f, 0, "\xD0\xAE\xD0\xBB\xD1\x8F", 0, 4));
        tables.getTimeTrial().setEntry(0, 0, HighscoreEntry(61.0f, 0, "Tim", 3, 0));
    });
    m_config->m_showHighscores = true;
    m_config->m_highscoreTable = Screen::SINGLE_RACE;
    m_config->m_highscoreTrack = 4;
    setUp(1);
    ASSERT_EQ(m_menu.current, &screen());
    EXPECT_EQ(text(widget(Screen::TITLE)), words(2200));
    EXPECT_EQ(text(widget(Screen::TRACK_CAPTION)), words(3400));
    EXPECT_EQ(text(screen().cell(Screen::NAME_COLUMN, 0)), "Ana");
    EXPECT_EQ(text(screen().cell(Screen::VALUE_COLUMN, 0)), "--");
    EXPECT_EQ(text(screen().cell(Screen::TIME_COLUMN, 0)), "01:23:50");
    EXPECT_EQ(text(screen().cell(Screen::COLOUR_COLUMN, 0)), "Pink");
    EXPECT_EQ(text(screen().cell(Screen::MODEL_COLUMN, 0)), words(701));
    EXPECT_EQ(text(screen().cell(Screen::NAME_COLUMN, 1)), "\xD0\xAE\xD0\xBB\xD1\x8F");
    EXPECT_EQ(text(screen().cell(Screen::NAME_COLUMN, 2)), "--");

    click(widget(Screen::BACK_BUTTON));
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    EXPECT_FALSE(m_config->m_showHighscores);
    click(m_menu.mainMenu->button(MainMenuScreen::HIGHSCORES));
    menuFrame(m_menu);
    EXPECT_EQ(screen().mode(), Screen::TIME_TRIAL);
    EXPECT_EQ(screen().track(), 0);
    EXPECT_EQ(text(screen().cell(Screen::NAME_COLUMN, 0)), "Tim");

    // A request for a table or track the screen does not have opens the first.
    openAsRaceAsks(7, -3);
    EXPECT_EQ(screen().mode(), Screen::TIME_TRIAL);
    EXPECT_EQ(screen().track(), 0);
    menuTeardown(m_menu);
}

TEST_F(HighscoreTest, SubmitIsOfferedOnlyForADrivenTimeBetterThanTheLastSent) {
    const struct {
        float best, submitted;
        bool offered;
    } cases[] = {{HighscoreEntry::EMPTY_TIME, HighscoreChampionship::NEVER_SUBMITTED, false},
                 {HighscoreBase::RESET_TIME, HighscoreChampionship::NEVER_SUBMITTED, false},
                 {200.0f, HighscoreChampionship::NEVER_SUBMITTED, true},
                 {200.0f, 200.0f, false},
                 {200.0f, 250.0f, true}};
    setUp(1);
    for (const auto& c : cases) {
        writeTables([&](HighscoreTables& tables) {
            tables.getChampionship().setEntry(0, 0, HighscoreEntry(c.best, 7, "Bo", 1, 2));
            tables.getChampionship().m_submittedTime = c.submitted;
        });
        openAsRaceAsks(Screen::CHAMPIONSHIP, -1);
        EXPECT_EQ(widget(Screen::SUBMIT)->isDisabled(), !c.offered) << c.best << " " << c.submitted;
        EXPECT_EQ(text(screen().cell(Screen::VALUE_COLUMN, 0)), c.best == 200.0f ? "7" : "--") << c.best;
    }
    menuTeardown(m_menu);
}

TEST_F(HighscoreTest, AHighScoreTheDiskDidNotTakeStaysInTheTablesForTheRestOfTheRun) {
    FullFolder disk;
    ASSERT_EQ(chdir(disk.path().c_str()), 0);
    writeTables([](HighscoreTables&) {});
    const std::string before = readWholeFile(HighscoreTables::FILE_NAME);
    disk.fill();
    m_config->m_game.set(Race::TIME_TRIAL);
    m_config->m_track.set(2);
    Config::Player& own = *m_config->m_player[0].modify();
    own.bestLap = 40.0f;
    own.colour = own.model = 1;
    {
        // The time trial's name entry, its tables as the race set-up has them.
        Race race(nullptr, &m_gui.context, &m_run);
        race.m_config = m_config.get();
        race.m_viewCount = race.m_vehicleCount = 1;
        race.m_clock = std::make_unique<Timer>(&m_ticks);
        race.m_raceTexts = std::make_unique<TextTable>("D:\\Vantorik/menu/IngameTexts.xml", demoArchive());
        race.m_raceTexts->m_language = 1;
        race.m_highscores = std::make_unique<HighscoreTables>();
        m_run.m_highscoreStore.load(*race.m_highscores, m_config->pathOf(HighscoreTables::FILE_NAME));
        race.m_displays.reset(OnscreenDisplays::create(race));
        race.m_displays->openNameEntry();
        auto windowChild = [&](const char* type) -> CEGUI::Window* {
            CEGUI::Window* frame = m_gui.context.m_guiContext->getModalWindow();
            for (size_t i = 0; frame && i < frame->getChildCount(); ++i)
                if (frame->getChildAtIdx(i)->getType() == type) return frame->getChildAtIdx(i);
            return nullptr;
        };
        ASSERT_NE(windowChild("Quillfen/Editbox"), nullptr);
        windowChild("Quillfen/Editbox")->setText("Zoe");
        click(windowChild("Quillfen/Button"));
        std::string told = race.m_raceTexts->getText(4040).c_str();
        told.replace(told.find("[LOGFILE]"), 9, g_logStream.path());
        ASSERT_EQ(text(windowChild("Quillfen/StaticText")), told);
        click(windowChild("Quillfen/Button"));
        EXPECT_TRUE(race.m_leaveRace);
        // What the result window asked for.
        m_config->m_showHighscores = true;
        m_config->m_highscoreTable = Screen::TIME_TRIAL;
        m_config->m_highscoreTrack = 2;
    }

    setUp(1);
    ASSERT_EQ(m_menu.current, &screen());
    for (int visit = 0; visit < 2; ++visit) {
        EXPECT_EQ(text(screen().cell(Screen::NAME_COLUMN, 0)), "Zoe") << visit;
        EXPECT_EQ(text(screen().cell(Screen::TIME_COLUMN, 0)), "00:40:00") << visit;
        EXPECT_EQ(text(screen().cell(Screen::NAME_COLUMN, 1)), "--") << visit;
        openAsRaceAsks(Screen::TIME_TRIAL, 2);
    }
    EXPECT_TRUE(readWholeFile(HighscoreTables::FILE_NAME) == before) << "only the run keeps it";
    menuTeardown(m_menu);
}
