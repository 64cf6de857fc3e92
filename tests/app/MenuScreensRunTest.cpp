#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "tests/app/MinimapDriver.h"
#include "tests/app/ProgramRun.h"
#include "tests/app/ScreenPlaces.h"

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// The high-score table's first two rows: the name and time cells.
struct Cell {
    int x, y, width, height;
};
constexpr int FIRST_ROW_Y = 165, ROW_STEP = 43, ROW_HEIGHT = 40;
constexpr Cell nameCell(int row) { return {110, FIRST_ROW_Y + ROW_STEP * row, 280, ROW_HEIGHT}; }
constexpr Cell timeCell(int row) { return {495, FIRST_ROW_Y + ROW_STEP * row, 130, ROW_HEIGHT}; }

// Where the credits' lines show whole, right of the back button.
constexpr int BAND_LEFT = 150, BAND_RIGHT = 1000, BAND_TOP = 85, BAND_BOTTOM = 683;
// Farther than the lines can rise between the two pictures.
constexpr int MOST_RISE = 300;

// Letters and digits only, none of them a riding key (w a s d) or the pause (p).
const std::string RECORD_NAME = "kit42";

// The options' first name box, right of any name's end.
constexpr Point NAME_BOX_END = {193 + 280, 130 + 25};
constexpr const char* PLAYER_NAME = "Rosalind";
constexpr int CUT_LETTERS = 3;

constexpr int DEFAULT_MUSIC_VOLUME = 70;
constexpr int CHOSEN_MUSIC_VOLUME = 30;

// The middle of the slider's thumb at that value.
Point musicThumb(int percent) {
    const int travel = MUSIC_SLIDER_WIDTH - SLIDER_THUMB_WIDTH;
    return {MUSIC_SLIDER_X + travel * percent / 100 + SLIDER_THUMB_WIDTH / 2, MUSIC_SLIDER_Y + MUSIC_SLIDER_HEIGHT / 2};
}

bool isWhite(const VirtualDisplay::Picture& picture, int x, int y) {
    const uint8_t* rgb = &picture.rgb[(size_t(y) * picture.width + size_t(x)) * 3];
    return rgb[0] > 200 && rgb[1] > 200 && rgb[2] > 200;
}

// For each row of the credits' band, how many of its pixels are white in
// `picture` but not in `other`: the lines' letters, without the moon, the
// stars and the pointer, which stand still.
std::vector<int> movedWhiteByRow(const VirtualDisplay::Picture& picture, const VirtualDisplay::Picture& other) {
    std::vector<int> counts;
    for (int y = BAND_TOP; y < BAND_BOTTOM; ++y) {
        int white = 0;
        for (int x = BAND_LEFT; x < BAND_RIGHT; ++x) white += isWhite(picture, x, y) && !isWhite(other, x, y);
        counts.push_back(white);
    }
    return counts;
}

// How many pixels the credits' lines rose from `earlier` to `later`: the
// shift that lays the later rows best over the earlier ones (negative: they sank).
int creditsRise(const VirtualDisplay::Picture& earlier, const VirtualDisplay::Picture& later) {
    const std::vector<int> before = movedWhiteByRow(earlier, later), after = movedWhiteByRow(later, earlier);
    const int rows = int(before.size());
    int best = 0;
    double bestCost = 1e30;
    for (int rise = -MOST_RISE; rise <= MOST_RISE; ++rise) {
        long cost = 0;
        int compared = 0;
        for (int y = std::max(0, -rise); y < std::min(rows, rows - rise); ++y) {
            cost += std::abs(after[size_t(y)] - before[size_t(y + rise)]);
            ++compared;
        }
        if (compared > 0 && double(cost) / compared < bestCost) {
            bestCost = double(cost) / compared;
            best = rise;
        }
    }
    return best;
}

class MenuScreensRunTest : public ProgramRun {
protected:
    Picture grabCell(const Cell& c) { return m_screen->grab(c.x, c.y, c.width, c.height); }

    // Lower-case letters and digits are their own key symbols.
    void typeName(const std::string& name) {
        for (char c : name) m_screen->pressKey(static_cast<unsigned long>(c));
    }

    // Back on the main menu, the quit question answered: the program ends well.
    void quitFromMenu(ChildProcess& game, const Picture& menu) {
        askToQuit(menu);
        answerYes();
        EXPECT_EQ(game.waitForExit(20s), 0) << game.output();
    }
};

TEST_F(MenuScreensRunTest, TimeTrialLapNamedByKeyPressesLeadsItsTrackInTheHighScores) {
    // The name entry opens with the player's name. A race frame reads one press
    // of a key at most, and a loaded machine draws few of them: no name leaves
    // nothing to erase, and the typed letters all arrive as text.
    editConfig([](Config& config) { std::memset(config.m_settings.m_playerName1, 0, Config::NAME_SIZE); });
    auto game = start("time-trial-record");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();
    clickAt(TIME_TRIAL.x, TIME_TRIAL.y);
    ASSERT_GT(VirtualDisplay::differingShare(menu, firstChange(menu, 0.3)), 0.3) << "no time trial screen";
    // The turning moped never lets the screen stand still: the clicks go in
    // one after another, and the track and the lap the race has show that they were read.
    const int track = shortestTrack();
    for (int t = 0; t < track; ++t) clickAt(TRACK_NEXT.x, TRACK_NEXT.y);
    clickAt(LAPS_PREVIOUS.x, LAPS_PREVIOUS.y);
    clickAt(LAPS_PREVIOUS.x, LAPS_PREVIOUS.y);
    clickAt(SETUP_OK.x, SETUP_OK.y);

    ASSERT_FALSE(startRace(*game).rgb.empty()) << game->output();
    const Clock::time_point green = Clock::now();
    MinimapDriver driver(*m_screen, road(track));
    driver.ride(1.0, 90s);
    const double ridden = std::chrono::duration<double>(Clock::now() - green).count();
    ASSERT_GE(driver.lapsDriven(), 1.0 - MinimapDriver::LINE_MARGIN);
    ASSERT_TRUE(waitForLog(*game, "race window: time trial result", 60s)) << game->output();
    save(firstChange(grabScreen(), 0.05, 5s), "time-trial-record-result");

    clickAt(TIME_TRIAL_RESULT_OK.x, TIME_TRIAL_RESULT_OK.y);
    // The entry opens once the click is read; text typed before it opens is dropped.
    ASSERT_TRUE(waitForLog(*game, "race window: name entry", 30s)) << game->output();
    typeName(RECORD_NAME);
    const Picture entry = grabScreen();
    save(entry, "time-trial-record-name-entry");
    clickAt(NAME_ENTRY_SAVE.x, NAME_ENTRY_SAVE.y);

    // The race asks for its table: the menu opens on it.
    ASSERT_TRUE(waitForLog(*game, "entering menu loop...", 60s, 2)) << game->output();
    const Picture table = changedPicture(entry, 0.3, 30s);
    save(table, "highscores-after-time-trial");
    EXPECT_GT(VirtualDisplay::differingShare(menu, table), 0.3) << "no high-score screen";
    const Picture name = grabCell(nameCell(0)), time = grabCell(timeCell(0));
    const Picture nextName = grabCell(nameCell(1)), nextTime = grabCell(timeCell(1));

    // The next track has no times yet: its rows are what an empty one shows.
    const Picture empty = clickAndLook(HIGHSCORES_TRACK_NEXT, table);
    save(empty, "highscores-empty-track");
    EXPECT_GT(VirtualDisplay::differingShare(name, grabCell(nameCell(0))), 0.005) << "the first row has a name";
    EXPECT_GT(VirtualDisplay::differingShare(time, grabCell(timeCell(0))), 0.005) << "the first row has a time";
    EXPECT_EQ(VirtualDisplay::differingShare(nextName, grabCell(nameCell(1))), 0.0) << "one record only";
    EXPECT_EQ(VirtualDisplay::differingShare(nextTime, grabCell(timeCell(1))), 0.0) << "one record only";

    const Picture back = clickAndLook(SCREEN_BACK, empty, 0.3);
    EXPECT_LT(VirtualDisplay::differingShare(menu, back), 0.05) << "the main menu again";
    quitFromMenu(*game, back);

    inHome([&] {
        HighscoreTables tables;
        ASSERT_TRUE(tables.load(HighscoreTables::FILE_NAME));
        const HighscoreEntry& first = *tables.getTimeTrial().getEntry(track, 0);
        EXPECT_EQ(std::string(first.m_name), RECORD_NAME);
        // The lap's time: about as long as the ride from the start signal.
        EXPECT_GT(first.m_time, ridden / 2);
        EXPECT_LT(first.m_time, ridden + 1.0);
        EXPECT_EQ(tables.getTimeTrial().getEntry(track, 1)->m_time, HighscoreBase::RESET_TIME);
    });
}

TEST_F(MenuScreensRunTest, CreditsRollUpAndTheOptionsKeepTheMusicVolumeDraggedOnItsSliderAndANameCutByQuickTaps) {
    editConfig([](Config& config) { std::strcpy(config.m_settings.m_playerName1, PLAYER_NAME); });
    auto game = start("credits-options");
    const Picture menu = mainMenu(*game);
    ASSERT_FALSE(menu.rgb.empty()) << game->output();

    clickAt(CREDITS.x, CREDITS.y);
    ASSERT_GT(VirtualDisplay::differingShare(menu, firstChange(menu, 0.3)), 0.3) << "no credits screen";
    // The pointer rests on the back button, out of the lines' way, while the first lines rise into view.
    m_screen->pointAt(SCREEN_BACK.x, SCREEN_BACK.y);
    const Picture early = firstChange(grabScreen(), 0.005, 30s);
    Picture later = grabScreen();
    for (const auto giveUp = Clock::now() + 30s; creditsRise(early, later) < 20 && Clock::now() < giveUp;) {
        std::this_thread::sleep_for(POLL);
        later = grabScreen();
    }
    save(early, "credits-early");
    save(later, "credits-later");
    EXPECT_GT(VirtualDisplay::differingShare(early, later), 0.005) << "the lines stand still";
    EXPECT_GE(creditsRise(early, later), 20) << "the lines rise";

    m_screen->click();
    const Picture back = changedPicture(later, 0.3);
    EXPECT_LT(VirtualDisplay::differingShare(menu, back), 0.05) << "the main menu again";

    const Picture options = clickAndLook(OPTIONS, back, 0.3);
    save(options, "options");
    EXPECT_GT(VirtualDisplay::differingShare(back, options), 0.3) << "no options screen";
    const Point from = musicThumb(DEFAULT_MUSIC_VOLUME), to = musicThumb(CHOSEN_MUSIC_VOLUME);
    m_screen->drag(from.x, from.y, to.x, to.y);
    const Picture dragged = changedPicture(options, 0.001, 5s);
    save(dragged, "options-music-dragged");

    // Into the first player's name, after its end; then BackSpace tapped
    // three times in one go, quicker than a frame: each tap takes a letter.
    const Picture named = clickAndLook(NAME_BOX_END, dragged, 0.0001);
    m_screen->pressKey(XK_BackSpace, CUT_LETTERS);
    const Picture cut = changedPicture(named, 0.0001, 5s);
    save(cut, "options-name-cut");

    clickAt(OPTIONS_OK.x, OPTIONS_OK.y);
    const Picture again = changedPicture(dragged, 0.3);
    EXPECT_LT(VirtualDisplay::differingShare(menu, again), 0.05) << "OK leads to the main menu";
    quitFromMenu(*game, again);

    editConfig([](Config& config) {
        ASSERT_TRUE(config.load());
        EXPECT_NEAR(config.m_settings.m_musicVolume, CHOSEN_MUSIC_VOLUME, 5);
        EXPECT_EQ(std::string(config.m_settings.m_playerName1),
                  std::string(PLAYER_NAME).substr(0, std::strlen(PLAYER_NAME) - CUT_LETTERS));
    });
}

} // namespace
