#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <CEGUI/CEGUI.h>

#include "engine/platform/TickSource.h"
#include "engine/platform/Timer.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/gui/GuiHelper.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"
#include "net/NetControl.h"
#include "sys/gui/TypedText.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/race/HandBuiltRace.h"
#include "tests/support/FullFolder.h"
#include "tests/support/NullGui.h"

namespace {

using Window = OnscreenDisplays::Window;

// Music whose volume the race sets.
class VolumeSound : public Sound {
public:
    bool play(bool) override { return true; }
    bool setLoop(bool) override { return true; }
    bool setFrequency(uint32_t) override { return true; }
    bool stop() override { return true; }
    double getPosition() override { return 0.0; }
    bool setVolume(float v) override {
        volume = v;
        return true;
    }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }
    float volume = -1.0f;
};

CEGUI::String utf8(const std::string& text) {
    return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(text.data()), text.size());
}

std::string formatted(float seconds) {
    CEGUI::String out;
    GuiHelper::formatTime(seconds, out);
    return out.c_str();
}

// What saving into a folder that was there no more says.
std::string removeFolder(const std::string& path) {
    std::filesystem::remove_all(path);
    return std::strerror(ENOENT);
}

// Races whose displays the GUI library draws on its null renderer, their
// music taking volumes; most without a scene, their clock on hand-driven ticks.
class OnscreenWindows : public ::testing::Test {
protected:
    OnscreenWindows() { m_texts.m_language = 1; }

    void build(int game, int playMode = Race::ONE_PLAYER, int track = 0, int riders = 5) {
        // The old scratch folder is left before the new one is entered.
        m_race.reset();
        m_config.reset();
        m_config = std::make_unique<RaceConfig>(game, track);
        config().m_playMode = playMode;
        std::strcpy(config().m_settings.m_playerName1, "Mira");
        nextRace(riders);
    }

    // The run's next race: new displays over the same config.
    void nextRace(int riders) {
        m_race.reset();
        m_race = std::make_unique<Race>(nullptr, &m_gui.context, &m_config->run());
        m_race->m_config = &config();
        m_race->m_viewCount = 1;
        m_race->m_vehicleCount = riders;
        m_race->m_clock = std::make_unique<Timer>(&m_ticks);
        attach(*m_race);
    }

    // The race gets the GUI, its texts, music and new displays.
    void attach(Race& race) {
        race.m_gui = &m_gui.context;
        race.m_config->m_settings.m_musicVolume = 60;
        race.m_music = std::make_unique<VolumeSound>();
        race.m_raceTexts = std::make_unique<TextTable>(TEXTS, demoArchive());
        race.m_raceTexts->m_language = 1;
        race.m_displays.reset(OnscreenDisplays::create(race));
    }

    Config& config() { return m_config->config(); }
    OnscreenDisplays& displays() { return *m_race->m_displays; }
    static float musicVolume(const Race& race) { return static_cast<VolumeSound&>(*race.m_music).volume; }
    const CEGUI::String& text(int id) const { return m_texts.getText(id); }
    Config::Player& record(int slot) { return *config().m_player[slot].modify(); }

    // The window that holds the input: the one open result, pause or entry window.
    CEGUI::Window* openWindow() const { return m_gui.context.m_guiContext->getModalWindow(); }

    // The shown texts of the open window's text cells, in building order (title, then row by row).
    std::vector<std::string> shownTexts() const {
        std::vector<std::string> texts;
        const CEGUI::Window* frame = openWindow();
        for (size_t i = 0; frame && i < frame->getChildCount(); ++i) {
            const CEGUI::Window* child = frame->getChildAtIdx(i);
            if (child->getType() == "Quillfen/StaticText" && child->isVisible())
                texts.push_back(child->getText().c_str());
        }
        return texts;
    }

    // The open window's child of the type showing the text.
    CEGUI::Window* child(const CEGUI::String& type, const CEGUI::String& label) const {
        CEGUI::Window* frame = openWindow();
        for (size_t i = 0; frame && i < frame->getChildCount(); ++i) {
            CEGUI::Window* window = frame->getChildAtIdx(i);
            if (window->getType() == type && window->getText() == label) return window;
        }
        return nullptr;
    }

    static void click(CEGUI::Window* button) {
        ASSERT_NE(button, nullptr);
        CEGUI::WindowEventArgs args(button);
        button->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    }

    CEGUI::Editbox* nameEdit() const {
        CEGUI::Window* frame = openWindow();
        for (size_t i = 0; frame && i < frame->getChildCount(); ++i)
            if (auto* edit = dynamic_cast<CEGUI::Editbox*>(frame->getChildAtIdx(i))) return edit;
        return nullptr;
    }

    static constexpr const char* TEXTS = "D:\\Vantorik/menu/IngameTexts.xml";

    NullGui m_gui;
    TextTable m_texts{TEXTS, demoArchive()};
    ManualTicks m_ticks;
    std::unique_ptr<RaceConfig> m_config;
    std::unique_ptr<Race> m_race;
};

} // namespace

TEST_F(OnscreenWindows, ContinueGoesBackToThePauseThatWasBeforeEscape) {
    HandBuiltRace r;
    Race& race = r.race;
    attach(race);
    r.startCountdown();
    ASSERT_TRUE(race.m_clock->isRunning());

    // Escape alone: Continue sets the race and its clock going and the music playing.
    r.frame(0.1, HandBuiltRace::ESCAPE);
    EXPECT_TRUE(race.m_paused);
    EXPECT_FALSE(race.m_clock->isRunning());
    EXPECT_EQ(musicVolume(race), 0.0f);
    ASSERT_NE(openWindow(), nullptr);
    EXPECT_EQ(m_gui.input.m_guiInput, 1);
    // P while the window is open changes nothing.
    r.frame(0.1, HandBuiltRace::P);
    click(child("Quillfen/Button", text(9000)));
    EXPECT_FALSE(race.m_displays->isVisible(Window::PAUSE));
    EXPECT_EQ(openWindow(), nullptr);
    EXPECT_EQ(m_gui.input.m_guiInput, 0);
    EXPECT_FALSE(race.m_paused);
    EXPECT_TRUE(race.m_clock->isRunning());
    EXPECT_FLOAT_EQ(musicVolume(race), 0.6f);

    // P, then Escape: Continue leaves the race paused by P, its clock standing, the music off.
    r.frame(0.1, HandBuiltRace::P);
    r.frame(0.1, HandBuiltRace::ESCAPE);
    EXPECT_TRUE(race.m_displays->isVisible(Window::PAUSE));
    click(child("Quillfen/Button", text(9000)));
    EXPECT_TRUE(race.m_paused);
    EXPECT_FALSE(race.m_clock->isRunning());
    EXPECT_EQ(musicVolume(race), 0.0f);
    const float stood = race.m_clock->m_currentTime;
    r.frame(1.0);
    EXPECT_EQ(race.m_clock->m_currentTime, stood);
    // P then resumes the clock that ran before it.
    r.frame(0.0, HandBuiltRace::P);
    EXPECT_FALSE(race.m_paused);
    EXPECT_TRUE(race.m_clock->isRunning());
    EXPECT_FLOAT_EQ(musicVolume(race), 0.6f);

    // Before the countdown the clock stands, and Continue keeps it standing.
    build(Race::SINGLE_RACE);
    displays().showPauseWindow();
    displays().onPauseContinue();
    EXPECT_FALSE(m_race->m_clock->isRunning());
}

TEST_F(OnscreenWindows, RestartIsRefusedInALanGameAndRacesAgainOtherwise) {
    build(Race::SINGLE_RACE, Race::LAN);
    displays().showPauseWindow();
    CEGUI::Window* restart = child("Quillfen/Button", text(9010));
    ASSERT_NE(restart, nullptr);
    EXPECT_TRUE(restart->isDisabled());
    displays().onPauseRestart();
    EXPECT_TRUE(displays().isVisible(Window::PAUSE));
    EXPECT_FALSE(config().m_raceAgain);
    EXPECT_FALSE(m_race->m_leaveRace);

    build(Race::SINGLE_RACE);
    displays().showPauseWindow();
    restart = child("Quillfen/Button", text(9010));
    ASSERT_NE(restart, nullptr);
    EXPECT_FALSE(restart->isDisabled());
    click(restart);
    EXPECT_TRUE(config().m_raceAgain);
    EXPECT_TRUE(m_race->m_leaveRace);
    EXPECT_FALSE(displays().isVisible(Window::PAUSE));
    // Leaving a network the game never joined does no harm.
    EXPECT_FALSE(NetControl::getInstance().isConnected());
    EXPECT_EQ(NetControl::getInstance().getStatus(), NetControl::STATUS_LEFT);
}

TEST_F(OnscreenWindows, TimeTrialListsEachLapAndTheTotal) {
    build(Race::TIME_TRIAL, Race::ONE_PLAYER, 0, 1);
    config().m_laps.set(3);
    const float laps[] = {30.5f, 31.25f, 29.75f};
    for (int i = 0; i < 3; ++i) record(0).lapTimes[i] = laps[i];
    displays().showTimeTrialResult();

    const std::string lap = text(1000).c_str();
    const std::vector<std::string> expected = {text(1010).c_str(), lap + " 1",         formatted(30.5f),
                                               lap + " 2",         formatted(31.25f),  lap + " 3",
                                               formatted(29.75f),  text(1004).c_str(), formatted(91.5f)};
    EXPECT_EQ(shownTexts(), expected);
    EXPECT_EQ(formatted(91.5f), "01:31:50");
    const OnscreenDisplays::ResultTable& table = displays().m_table;
    EXPECT_FALSE(table.rows[4].visible[0]);
    EXPECT_FALSE(table.rows[4].visible[2]);
    EXPECT_FALSE(table.rows[5].visible[0]);

    // More laps than the window has rows: five laps and the total.
    displays().onTimeTrialResultOk();
    config().m_laps.set(9);
    displays().showTimeTrialResult();
    EXPECT_EQ(shownTexts().size(), 1u + 2u * 6u);
    EXPECT_EQ(table.rows[5].cells[0], text(1004));
}

TEST_F(OnscreenWindows, RaceResultPutsEachRiderInTheRowOfItsPlace) {
    build(Race::SINGLE_RACE, Race::LAN, 0, 4);
    const char* const names[] = {"Ada", "Bo", "Cy", "Di", "Ed"};
    const int places[] = {2, 0, 7, -3, 1};
    for (int i = 0; i < 5; ++i) {
        std::strcpy(record(i).name, names[i]);
        record(i).place = places[i];
        record(i).raceTime = 60.0f + i;
    }
    displays().showSingleRaceResult();
    // Rows 1 to 4 for the four riders; the two places no row holds show nothing,
    // and slot 4 is not in the race.
    const std::vector<std::string> expected = {text(1040).c_str(),
                                               text(1008).c_str(),
                                               text(1009).c_str(),
                                               text(1002).c_str(),
                                               "1.",
                                               "Bo",
                                               formatted(61.0f),
                                               "2.",
                                               "3.",
                                               "Ada",
                                               formatted(60.0f),
                                               "4."};
    EXPECT_EQ(shownTexts(), expected);

    // A record arriving later takes its row at the next refresh.
    record(2).place = 1;
    displays().updateRaceResultTable();
    EXPECT_EQ(displays().m_table.rows[2].cells[1], "Cy");
    displays().onRaceResultOk();
    EXPECT_TRUE(m_race->m_leaveRace);
    EXPECT_FALSE(displays().isVisible(Window::NAME_ENTRY));

    // Elimination: the winner's time, "out" for the others.
    build(Race::ELIMINATION, Race::ONE_PLAYER, 0, 2);
    std::strcpy(record(0).name, "Ada");
    record(0).place = 1;
    std::strcpy(record(1).name, "Bo");
    record(1).place = 0;
    record(1).raceTime = 75.0f;
    displays().showEliminationResult();
    const std::vector<std::string> eliminated = {text(1040).c_str(),
                                                 text(1008).c_str(),
                                                 text(1009).c_str(),
                                                 text(1002).c_str(),
                                                 "1.",
                                                 "Bo",
                                                 formatted(75.0f),
                                                 "2.",
                                                 "Ada",
                                                 text(4032).c_str()};
    EXPECT_EQ(shownTexts(), eliminated);
}

TEST_F(OnscreenWindows, StandingsRankByPointsThenSmallerTimeThenLaterSlot) {
    build(Race::CHAMPIONSHIP, Race::SPLIT_SCREEN, 2, 4);
    const int points[] = {10, 12, 10, 10};
    const float times[] = {300.0f, 320.0f, 290.0f, 300.0f};
    const char* const names[] = {"Ada", "Bo", "Cy", "Di"};
    for (int i = 0; i < 4; ++i) {
        std::strcpy(record(i).name, names[i]);
        record(i).points = points[i];
        record(i).totalTime = times[i];
        record(i).place = i;
    }
    displays().showChampionshipResult();
    EXPECT_EQ(displays().m_table.title, text(3200));
    click(child("Quillfen/Button", text(2002)));
    ASSERT_TRUE(displays().isVisible(Window::STANDINGS));
    EXPECT_FALSE(displays().isVisible(Window::CHAMPIONSHIP_RESULT));
    const std::vector<std::string> expected = {text(1020).c_str(),
                                               text(1008).c_str(),
                                               text(1009).c_str(),
                                               text(1002).c_str(),
                                               text(1007).c_str(),
                                               "1.",
                                               "Bo",
                                               formatted(320.0f),
                                               "12",
                                               "2.",
                                               "Cy",
                                               formatted(290.0f),
                                               "10",
                                               "3.",
                                               "Di",
                                               formatted(300.0f),
                                               "10",
                                               "4.",
                                               "Ada",
                                               formatted(300.0f),
                                               "10"};
    EXPECT_EQ(shownTexts(), expected);

    // Not the last track: the next one, raced at once, even when the host's
    // step to it has arrived already.
    config().m_track.set(3);
    displays().onStandingsOk();
    EXPECT_EQ(config().m_track.get(), 3);
    EXPECT_TRUE(config().m_raceAgain);
    EXPECT_TRUE(m_race->m_leaveRace);

    // The last track ends the championship; a split-screen game has no name entry.
    build(Race::CHAMPIONSHIP, Race::SPLIT_SCREEN, 5, 4);
    config().m_raceAgain = true;
    displays().showStandings();
    EXPECT_EQ(displays().m_table.title, text(1021));
    displays().onStandingsOk();
    EXPECT_EQ(config().m_track.get(), 5);
    EXPECT_FALSE(config().m_raceAgain);
    EXPECT_TRUE(m_race->m_leaveRace);
    EXPECT_FALSE(displays().isVisible(Window::NAME_ENTRY));
}

TEST_F(OnscreenWindows, TypedNameAndBestLapReachTheHighScoreFile) {
    build(Race::TIME_TRIAL, Race::ONE_PLAYER, 1, 1);
    m_race->m_highscores = std::make_unique<HighscoreTables>();
    m_race->m_highscores->reset();
    record(0).bestLap = 40.0f;
    record(0).colour = 2;
    record(0).model = 3;
    displays().showTimeTrialResult();
    displays().onTimeTrialResultOk();
    ASSERT_TRUE(displays().isVisible(Window::NAME_ENTRY));
    EXPECT_EQ(config().m_highscoreTable, 0);
    EXPECT_EQ(config().m_highscoreTrack, 1);
    EXPECT_EQ(displays().m_rankText, text(4010));
    EXPECT_NE(child("Quillfen/StaticText", text(4010)), nullptr);
    CEGUI::Editbox* edit = nameEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->getText(), "Mira");
    // The edit box takes the keys: letters, and none of the characters a name may not hold.
    CEGUI::GUIContext& context = *m_gui.context.m_guiContext;
    for (char c : std::string("n!a")) context.injectChar(static_cast<CEGUI::utf32>(c));
    EXPECT_EQ(edit->getText(), "Mirana");

    edit->setText("Speedy_Joe 2");
    CEGUI::WindowEventArgs enter(edit);
    edit->fireEvent(CEGUI::Editbox::EventTextAccepted, enter, CEGUI::Editbox::EventNamespace);
    EXPECT_FALSE(displays().isVisible(Window::NAME_ENTRY));
    EXPECT_EQ(openWindow(), nullptr);
    EXPECT_TRUE(m_race->m_leaveRace);
    HighscoreTables stored;
    ASSERT_TRUE(stored.load(HighscoreTables::FILE_NAME));
    const HighscoreEntry* first = stored.getTimeTrial().getEntry(1, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->m_name, "Speedy_Joe 2");
    EXPECT_FLOAT_EQ(first->m_time, 40.0f);
    EXPECT_EQ(first->m_colour, 2);
    EXPECT_EQ(first->m_model, 3);
    EXPECT_FLOAT_EQ(stored.getTimeTrial().getBestLap(1)->m_time, 40.0f);
    EXPECT_STREQ(stored.getTimeTrial().getBestLap(1)->m_name, "Speedy_Joe 2");

    // The same lap again ranks second but leaves the best lap to its first holder.
    auto again = [&](float bestLap, const char* name) {
        std::unique_ptr<HighscoreTables> tables = std::move(m_race->m_highscores);
        build(Race::TIME_TRIAL, Race::ONE_PLAYER, 1, 1);
        m_race->m_highscores = std::move(tables);
        record(0).bestLap = bestLap;
        displays().openNameEntry();
        ASSERT_NE(nameEdit(), nullptr);
        nameEdit()->setText(name);
        click(child("Quillfen/Button", text(2000)));
    };
    again(40.0f, "Ben");
    ASSERT_TRUE(stored.load(HighscoreTables::FILE_NAME));
    EXPECT_STREQ(stored.getTimeTrial().getEntry(1, 1)->m_name, "Ben");
    EXPECT_STREQ(stored.getTimeTrial().getBestLap(1)->m_name, "Speedy_Joe 2");
    again(39.5f, "Cleopatra_Racer1");
    ASSERT_TRUE(stored.load(HighscoreTables::FILE_NAME));
    // Sixteen characters, the most the edit box takes, are stored whole.
    EXPECT_STREQ(stored.getTimeTrial().getEntry(1, 0)->m_name, "Cleopatra_Racer1");
    EXPECT_STREQ(stored.getTimeTrial().getBestLap(1)->m_name, "Cleopatra_Racer1");
    EXPECT_FLOAT_EQ(stored.getTimeTrial().getBestLap(1)->m_time, 39.5f);
}

TEST_F(OnscreenWindows, AHighScoreTheDiskCannotTakeIsToldOnceARun) {
    build(Race::TIME_TRIAL, Race::ONE_PLAYER, 1, 1);
    // The race keeps "highscore.dat" in the working folder.
    FullFolder disk;
    ASSERT_EQ(chdir(disk.path().c_str()), 0);
    m_race->m_highscores = std::make_unique<HighscoreTables>();
    m_race->m_highscores->reset();
    ASSERT_TRUE(m_race->m_highscores->save(HighscoreTables::FILE_NAME));
    const std::string before = readWholeFile(HighscoreTables::FILE_NAME);
    disk.fill();
    // The log goes elsewhere than "log.txt", as PLIMZOR_LOG can send it.
    TempDir logs;
    const std::string logPath = logs.file("the race's.log");
    g_logStream.open(logPath);
    LogCapture log;
    record(0).bestLap = 40.0f;
    displays().openNameEntry();
    ASSERT_TRUE(displays().isVisible(Window::NAME_ENTRY));
    click(child("Quillfen/Button", text(2000)));
    EXPECT_FALSE(displays().isVisible(Window::NAME_ENTRY));
    ASSERT_TRUE(displays().isVisible(Window::CONNECTION_LOST));
    std::string told = text(4040).c_str();
    ASSERT_NE(told.find("[LOGFILE]"), std::string::npos) << told;
    told.replace(told.find("[LOGFILE]"), 9, logPath);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{told}) << "the window names the log where it is";
    g_logStream.close();
    EXPECT_FALSE(m_race->m_leaveRace) << "the race waits for the player to read it";
    click(child("Quillfen/Button", text(2000)));
    EXPECT_EQ(openWindow(), nullptr);
    EXPECT_TRUE(m_race->m_leaveRace);

    // The next high score of the run is lost as quietly as the log allows.
    std::unique_ptr<HighscoreTables> tables = std::move(m_race->m_highscores);
    nextRace(1);
    m_race->m_highscores = std::move(tables);
    record(0).bestLap = 39.0f;
    displays().openNameEntry();
    ASSERT_TRUE(displays().isVisible(Window::NAME_ENTRY));
    displays().saveHighscore();
    EXPECT_EQ(openWindow(), nullptr);
    EXPECT_FALSE(displays().isVisible(Window::CONNECTION_LOST));
    EXPECT_TRUE(m_race->m_leaveRace);
    EXPECT_TRUE(readWholeFile(HighscoreTables::FILE_NAME) == before);
    const std::string line = "./highscore.dat cannot be written (" + disk.reason() + ")";
    const std::string logged = log.text();
    EXPECT_NE(logged.find(line), std::string::npos) << logged;
    EXPECT_NE(logged.find(line, logged.find(line) + 1), std::string::npos) << "each failed save is logged: " << logged;
}

TEST_F(OnscreenWindows, AHighScoreNotSavedIsToldWhyAndEachReasonIsLogged) {
    enum Reason { DISK_FULL, FOLDER_LOCKED, FILE_UNREAD };
    for (Reason reason : {DISK_FULL, FOLDER_LOCKED, FILE_UNREAD}) {
        // A new run each time: the player hears only the first failure of a run.
        build(Race::TIME_TRIAL, Race::ONE_PLAYER, 1, 1);
        FullFolder disk;
        ASSERT_EQ(chdir(disk.path().c_str()), 0);
        HighscoreTables old;
        old.reset();
        ASSERT_TRUE(old.save(HighscoreTables::FILE_NAME));
        std::string why = disk.reason();
        if (reason == DISK_FULL) disk.fill();
        // Where nothing can lock it (root without a namespace of its own) the folder is gone instead.
        if (reason == FOLDER_LOCKED) why = disk.lockWrites() ? disk.lockedReason() : removeFolder(disk.path());
        if (reason == FILE_UNREAD) {
            std::remove(HighscoreTables::FILE_NAME);
            ASSERT_TRUE(std::filesystem::create_directory(HighscoreTables::FILE_NAME));
            why = "it could not be read, so it is left as it is";
        }
        // As the race set-up has them.
        m_race->m_highscores = std::make_unique<HighscoreTables>();
        m_race->run().m_highscoreStore.load(*m_race->m_highscores, config().pathOf(HighscoreTables::FILE_NAME));
        LogCapture log;
        record(0).bestLap = 40.0f;
        displays().openNameEntry();
        ASSERT_TRUE(displays().isVisible(Window::NAME_ENTRY)) << reason;
        click(child("Quillfen/Button", text(2000)));
        const int words[] = {4040, 4041, 4042};
        std::string told = text(words[reason]).c_str();
        told.replace(told.find("[LOGFILE]"), 9, g_logStream.path());
        EXPECT_EQ(shownTexts(), std::vector<std::string>{told}) << reason;
        EXPECT_NE(log.text().find("./highscore.dat cannot be written (" + why + "); it is not saved"),
                  std::string::npos)
            << log.text();
    }
}

TEST_F(OnscreenWindows, RidingKeysTypedBeforeTheNameEntryOpensStayOutOfTheName) {
    build(Race::TIME_TRIAL, Race::ONE_PLAYER, 1, 1);
    m_race->m_highscores = std::make_unique<HighscoreTables>();
    m_race->m_highscores->reset();
    record(0).bestLap = 40.0f;
    // Space for the start, then the throttle and the steering as characters.
    for (char c : std::string(" wwad")) sys::TypedText::push(sys::TypedText::Entry::character(uint32_t(c)));
    displays().showTimeTrialResult();
    displays().onTimeTrialResultOk();
    ASSERT_NE(nameEdit(), nullptr);
    injectKeyboard(m_gui.context);
    EXPECT_EQ(nameEdit()->getText(), "Mira");
    // What is typed into the open entry arrives.
    sys::TypedText::push(sys::TypedText::Entry::character('n'));
    injectKeyboard(m_gui.context);
    EXPECT_EQ(nameEdit()->getText(), "Miran");
}

TEST_F(OnscreenWindows, SecondPlaceInASingleRaceEndsWithoutANameEntry) {
    build(Race::SINGLE_RACE);
    m_race->m_highscores = std::make_unique<HighscoreTables>();
    m_race->m_highscores->reset();
    record(0).place = 1;
    record(0).bestLap = 20.0f;
    displays().showSingleRaceResult();
    displays().onRaceResultOk();
    EXPECT_TRUE(m_race->m_leaveRace);
    EXPECT_FALSE(displays().isVisible(Window::NAME_ENTRY));
    EXPECT_EQ(openWindow(), nullptr);
    EXPECT_EQ(displays().m_entryTable, nullptr);
    EXPECT_TRUE(config().m_showHighscores);
    EXPECT_EQ(config().m_highscoreTable, 1);
}

TEST_F(OnscreenWindows, LongCyrillicNameIsCutAtACharacterBoundary) {
    // Sixteen two-byte letters (32 bytes), and one letter of one byte before
    // fifteen of them (31 bytes): what fits the 30 bytes in whole letters.
    std::string cyrillic;
    for (int i = 0; i < 15; ++i) cyrillic += "Ж";
    const std::pair<std::string, std::string> names[] = {{cyrillic + "Ж", cyrillic},
                                                         {"a" + cyrillic, "a" + cyrillic.substr(0, 28)}};
    for (const auto& [typed, stored] : names) {
        build(Race::TIME_TRIAL, Race::ONE_PLAYER, 0, 1);
        m_race->m_highscores = std::make_unique<HighscoreTables>();
        m_race->m_highscores->reset();
        record(0).bestLap = 50.0f;
        displays().openNameEntry();
        ASSERT_NE(nameEdit(), nullptr);
        nameEdit()->setText(utf8(typed));
        displays().saveHighscore();
        const HighscoreEntry* first = m_race->m_highscores->getTimeTrial().getEntry(0, 0);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(std::string(first->m_name), stored);
        EXPECT_TRUE(first->isValid());
    }
}
