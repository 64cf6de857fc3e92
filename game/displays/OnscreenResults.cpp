#include "game/displays/OnscreenDisplays.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <CEGUI/CEGUI.h>

#include "engine/platform/gui/GuiHelper.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/Race.h"
#include "game/records/Config.h"

namespace {

using Window = OnscreenDisplays::Window;

constexpr int32_t COLUMNS = 4;
constexpr int32_t PLACE = 0, NAME = 1, TIME = 2, POINTS = 3;
constexpr float ROW_TOP = 125.0f;
constexpr float ROW_STEP = 35.0f;
constexpr float ROW_HEIGHT = 30.0f;
// Time trial: no headings, a label per lap and one for the total.
constexpr int32_t TEXT_LAP = 1000;
constexpr int32_t TEXT_TOTAL = 1004;
constexpr int32_t TEXT_LAP_TIMES = 1010;
constexpr int32_t TEXT_STANDINGS = 1020;
constexpr int32_t TEXT_FINAL_STANDINGS = 1021;
constexpr int32_t TEXT_RACE_RESULT = 1040;
constexpr int32_t TEXT_CONTINUE = 2002;
// Championship race titles by track: 3000, 3100, ... 3500.
constexpr int32_t TEXT_TRACK_RESULT = 3000;
constexpr int32_t TEXT_OUT = 4032;
constexpr int32_t LAST_TRACK = 5;

struct Rect {
    float x, y, width, height;
};

constexpr const char* LEFT = "LeftAligned";
constexpr const char* CENTRE = "CentreAligned";
constexpr const char* RIGHT = "RightAligned";

// A cell column; no width, no column.
struct Column {
    float x, width;
    const char* horizontal;
};

struct TableLayout {
    Rect frame;
    float titleX, titleWidth;
    Column columns[COLUMNS];
    // Row 0's texts; 0 for none.
    int32_t headings[COLUMNS];
    Rect ok;
    void (OnscreenDisplays::*onOk)();
};

const TableLayout& layout(Window window) {
    static const TableLayout timeTrial{{262, 154, 500, 460},
                                       85,
                                       330,
                                       {{35, 200, RIGHT}, {}, {265, 200, LEFT}, {}},
                                       {},
                                       {150, 370, 200, 60},
                                       &OnscreenDisplays::onTimeTrialResultOk};
    static const TableLayout championship{{117, 104, 800, 560},
                                          0,
                                          800,
                                          {{15, 150, CENTRE}, {170, 310, LEFT}, {505, 130, LEFT}, {630, 140, CENTRE}},
                                          {1008, 1009, 1002, 1007},
                                          {295, 470, 200, 60},
                                          &OnscreenDisplays::onChampionshipResultOk};
    // The standings look like the race result they follow.
    static const TableLayout standings = [] {
        TableLayout same = championship;
        same.onOk = &OnscreenDisplays::onStandingsOk;
        return same;
    }();
    static const TableLayout elimination{{192.5f, 104, 640, 560},
                                         0,
                                         640,
                                         {{45, 150, CENTRE}, {210, 240, LEFT}, {465, 130, LEFT}, {}},
                                         {1008, 1009, 1002, 0},
                                         {220, 470, 200, 60},
                                         &OnscreenDisplays::onEliminationResultOk};
    static const TableLayout race{{199.5f, 104, 680, 560},
                                  0,
                                  680,
                                  {{5, 150, CENTRE}, {170, 300, LEFT}, {505, 130, LEFT}, {}},
                                  {1008, 1009, 1002, 0},
                                  {240, 470, 200, 60},
                                  &OnscreenDisplays::onRaceResultOk};
    switch (window) {
    case Window::TIME_TRIAL_RESULT: return timeTrial;
    case Window::CHAMPIONSHIP_RESULT: return championship;
    case Window::STANDINGS: return standings;
    case Window::ELIMINATION_RESULT: return elimination;
    default: return race;
    }
}

CEGUI::String number(int32_t value) { return CEGUI::String(std::to_string(value)); }

CEGUI::String placeLabel(int32_t place) { return number(place) + "."; }

CEGUI::String formatted(float seconds) {
    CEGUI::String out;
    GuiHelper::formatTime(seconds, out);
    return out;
}

CEGUI::String recordName(const Config::Player& record) {
    return displayWindows::utf8Text(record.name, Config::NAME_SIZE);
}

// The row of a rider's place (0 the winner) under the headings; -1 for a
// place no row holds, as a record from another program may bring.
int32_t placeRow(int32_t place) { return place >= 0 && place < OnscreenDisplays::RESULT_ROWS - 1 ? place + 1 : -1; }

} // namespace

void OnscreenDisplays::buildTable(Window window) {
    const TableLayout& table = layout(window);
    const float width = table.frame.width;
    const float height = table.frame.height;
    CEGUI::Window* frame = displayWindows::frame(m_root, table.frame.x, table.frame.y, width, height);
    m_tableTitle[window] = displayWindows::text(frame, table.titleX, 60, table.titleWidth, 40, "VerdanaLarge",
                                                "CentreAligned", "CentreAligned", width, height);
    for (int32_t row = 0; row < RESULT_ROWS; ++row) {
        for (int32_t c = 0; c < COLUMNS; ++c) {
            const Column& column = table.columns[c];
            if (column.width <= 0.0f) continue;
            // Below the winner an elimination race lists the word "out", not a time.
            const char* font =
                window == ELIMINATION_RESULT && c == TIME && row >= 2 ? "VerdanaSmall" : "VerdanaLargeItalic";
            CEGUI::Window* cell =
                displayWindows::text(frame, column.x, ROW_TOP + ROW_STEP * row, column.width, ROW_HEIGHT, font,
                                     column.horizontal, "CentreAligned", width, height);
            cell->setVisible(false);
            m_tableCells[window][row][c] = cell;
        }
    }
    const auto onOk = table.onOk;
    displayWindows::button(frame, table.ok.x, table.ok.y, table.ok.width, table.ok.height, width, height,
                           text(TEXT_CONTINUE), [this, onOk] { (this->*onOk)(); });
    m_windows[window] = frame;
}

void OnscreenDisplays::startTable(Window window, int32_t titleText) {
    m_table = ResultTable();
    m_table.title = text(titleText);
    const TableLayout& table = layout(window);
    for (int32_t c = 0; c < COLUMNS; ++c)
        if (table.headings[c] != 0) setCell(0, c, text(table.headings[c]));
}

void OnscreenDisplays::setCell(int32_t row, int32_t column, const CEGUI::String& text) {
    if (row < 0 || row >= RESULT_ROWS || column < 0 || column >= COLUMNS) return;
    m_table.rows[row].cells[column] = text;
    m_table.rows[row].visible[column] = true;
}

void OnscreenDisplays::showTable(Window window) {
    if (!m_windows[window]) return;
    m_tableTitle[window]->setText(m_table.title);
    for (int32_t row = 0; row < RESULT_ROWS; ++row) {
        for (int32_t c = 0; c < COLUMNS; ++c) {
            CEGUI::Window* cell = m_tableCells[window][row][c];
            if (!cell) continue;
            cell->setText(m_table.rows[row].cells[c]);
            cell->setVisible(m_table.rows[row].visible[c]);
        }
    }
}

int32_t OnscreenDisplays::riderCount() const {
    const int32_t count = m_race.m_vehicleCount;
    return count < 0 ? 0 : count > Config::RIDERS ? Config::RIDERS : count;
}

void OnscreenDisplays::labelPlaceRows() {
    for (int32_t i = 0; i < riderCount(); ++i) setCell(i + 1, PLACE, placeLabel(i + 1));
}

void OnscreenDisplays::fillPlaceRows(bool points) {
    for (int32_t i = 0; i < riderCount(); ++i) {
        const Config::Player& record = m_config->m_player[i].get();
        const int32_t row = placeRow(record.place);
        setCell(row, NAME, recordName(record));
        setCell(row, TIME, formatted(record.raceTime));
        if (points) setCell(row, POINTS, number(record.racePoints));
    }
}

void OnscreenDisplays::showTimeTrialResult() {
    startTable(TIME_TRIAL_RESULT, TEXT_LAP_TIMES);
    // Five laps and the total fill the window's six rows.
    const int32_t laps = std::min(std::max(m_config->m_laps.get(), 0), RESULT_ROWS - 1);
    const Config::Player& record = m_config->m_player[0].get();
    float total = 0.0f;
    for (int32_t i = 0; i < laps; ++i) {
        setCell(i, PLACE, text(TEXT_LAP) + " " + number(i + 1));
        setCell(i, TIME, formatted(record.lapTimes[i]));
        total = GuiHelper::addShownTime(total, record.lapTimes[i]);
    }
    setCell(laps, PLACE, text(TEXT_TOTAL));
    setCell(laps, TIME, formatted(total));
    showTable(TIME_TRIAL_RESULT);
    openWindow(TIME_TRIAL_RESULT);
}

void OnscreenDisplays::showSingleRaceResult() {
    startTable(SINGLE_RACE_RESULT, TEXT_RACE_RESULT);
    labelPlaceRows();
    updateRaceResultTable();
    openWindow(SINGLE_RACE_RESULT);
}

void OnscreenDisplays::updateRaceResultTable() {
    fillPlaceRows(false);
    showTable(SINGLE_RACE_RESULT);
}

void OnscreenDisplays::showChampionshipResult() {
    startTable(CHAMPIONSHIP_RESULT, TEXT_TRACK_RESULT + 100 * m_trackIndex);
    labelPlaceRows();
    updateChampionshipTable();
    openWindow(CHAMPIONSHIP_RESULT);
}

void OnscreenDisplays::updateChampionshipTable() {
    fillPlaceRows(true);
    showTable(CHAMPIONSHIP_RESULT);
}

void OnscreenDisplays::showEliminationResult() {
    startTable(ELIMINATION_RESULT, TEXT_RACE_RESULT);
    labelPlaceRows();
    updateEliminationTable();
    openWindow(ELIMINATION_RESULT);
}

void OnscreenDisplays::updateEliminationTable() {
    for (int32_t i = 0; i < riderCount(); ++i) {
        const Config::Player& record = m_config->m_player[i].get();
        const int32_t row = placeRow(record.place);
        setCell(row, NAME, recordName(record));
        setCell(row, TIME, record.place == 0 ? formatted(record.raceTime) : text(TEXT_OUT));
    }
    showTable(ELIMINATION_RESULT);
}

void OnscreenDisplays::showStandings() {
    startTable(STANDINGS, m_trackIndex == LAST_TRACK ? TEXT_FINAL_STANDINGS : TEXT_STANDINGS);
    // More points first; on equal points the smaller total time, on equal
    // time too the later slot.
    int32_t order[Config::RIDERS];
    const int32_t riders = riderCount();
    for (int32_t i = 0; i < riders; ++i) {
        const Config::Player& rider = m_config->m_player[i].get();
        int32_t at = i;
        for (; at > 0; --at) {
            const Config::Player& earlier = m_config->m_player[order[at - 1]].get();
            const bool ahead = rider.points > earlier.points ||
                               (rider.points == earlier.points && rider.totalTime <= earlier.totalTime);
            if (!ahead) break;
            order[at] = order[at - 1];
        }
        order[at] = i;
    }
    for (int32_t k = 0; k < riders; ++k) {
        const Config::Player& record = m_config->m_player[order[k]].get();
        setCell(k + 1, PLACE, placeLabel(k + 1));
        setCell(k + 1, NAME, recordName(record));
        setCell(k + 1, TIME, formatted(record.totalTime));
        setCell(k + 1, POINTS, number(record.points));
    }
    showTable(STANDINGS);
    openWindow(STANDINGS);
}

void OnscreenDisplays::onTimeTrialResultOk() {
    closeWindow(TIME_TRIAL_RESULT);
    if (m_config->m_playMode != Race::ONE_PLAYER) {
        m_race.m_leaveRace = true;
        return;
    }
    openNameEntry();
    m_config->m_showHighscores = true;
    m_config->m_highscoreTable = 0;
    m_config->m_highscoreTrack = m_config->m_track.get();
}

void OnscreenDisplays::onRaceResultOk() {
    closeWindow(SINGLE_RACE_RESULT);
    if (m_config->m_playMode == Race::ONE_PLAYER) {
        m_config->m_showHighscores = true;
        m_config->m_highscoreTable = 1;
        m_config->m_highscoreTrack = m_config->m_track.get();
    }
    endWithNameEntry();
}

void OnscreenDisplays::onEliminationResultOk() {
    closeWindow(ELIMINATION_RESULT);
    endWithNameEntry();
}

void OnscreenDisplays::onChampionshipResultOk() {
    closeWindow(CHAMPIONSHIP_RESULT);
    showStandings();
}

void OnscreenDisplays::onStandingsOk() {
    closeWindow(STANDINGS);
    if (m_trackIndex != LAST_TRACK) {
        m_config->m_raceAgain = true;
        // From the track raced, not the replicated value: the host's own step may have come in already.
        m_config->m_track.set(m_trackIndex + 1);
        m_race.m_leaveRace = true;
        return;
    }
    m_config->m_raceAgain = false;
    if (m_config->m_playMode == Race::ONE_PLAYER) {
        m_config->m_showHighscores = true;
        m_config->m_highscoreTable = 2;
        m_config->m_highscoreTrack = m_config->m_track.get();
    }
    endWithNameEntry();
}

void OnscreenDisplays::endWithNameEntry() {
    if (m_config->m_playMode == Race::ONE_PLAYER) {
        openNameEntry();
        return;
    }
    m_race.m_leaveRace = true;
    leaveNetwork();
}
