#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include <CEGUI/String.h>

#include "game/records/HighscoreEntry.h"

namespace CEGUI {
class Image;
class Window;
}
class Config;
class GuiContext;
class HighscoreBase;
class LapDisplay;
class PositionDisplay;
class Race;
class TimeDisplay;

// The race's window set over the rendered views: per view the times, lap,
// place, held extra, mini map, countdown and wrong-way images and the
// message panels; for the race the pause, result, standings, name-entry and
// connection-lost windows. Keeps what each shows, so the race and the tests
// can ask it with or without a GUI; with one, the windows show the same.
class OnscreenDisplays {
public:
    static constexpr int VIEWS = 2;
    static constexpr int EXTRA_KINDS = 13;
    // Per view: 0 to 4 the riders, 5 to 9 their rockets, 10 to 14 spare.
    static constexpr int MINIMAP_DOTS = 15;
    static constexpr int ROCKET_DOT = 5;
    static constexpr int RESULT_ROWS = 6;
    // Windows the race asks about by kind.
    enum Window {
        PAUSE, CONNECTION_LOST, TIME_TRIAL_RESULT, SINGLE_RACE_RESULT, ELIMINATION_RESULT, CHAMPIONSHIP_RESULT,
        STANDINGS, NAME_ENTRY, WINDOW_COUNT
    };
    // Mini-map dot images.
    enum DotImage { RED = 0, GREEN = 1, BLUE = 2 };

    // Builds the displays of the race's views; windows only when the race has a GUI.
    static OnscreenDisplays* create(Race& race);
    // Deletes the text displays, the window tree and the race's imagesets.
    void destroy();
    ~OnscreenDisplays();
    OnscreenDisplays(const OnscreenDisplays&) = delete;
    OnscreenDisplays& operator=(const OnscreenDisplays&) = delete;

    bool isVisible(Window window) const { return window >= 0 && window < WINDOW_COUNT && m_visible[window]; }
    // The view's nickname panel (who dropped out of an elimination race).
    bool isMessagePanelVisible(int32_t view) const;
    void hideMessagePanels(int32_t view);

    // Every used view's race time.
    void setRaceTime(float seconds);
    void setLapTime(int32_t view, float seconds);
    void setSecondaryTime(int32_t view, float seconds);
    // Position of count; a count of -1 shows none.
    void setPosition(int32_t view, int32_t position, int32_t count);
    // Lap of count; a count of -1 is an open race (elimination).
    void setLap(int32_t view, int32_t lap, int32_t count);
    // Kinds 0 to 12, the icon shown while one is held; any other leaves it as it is.
    void setExtraIcon(int32_t view, int32_t kind);
    // Countdown picture n (0 "Count4" to 3 "Count1"); the window's visibility is separate.
    void showCountdown(int32_t view, int32_t n);
    void setCountdownVisible(int32_t view, bool visible);
    void setWrongWayVisible(int32_t view, bool visible);
    // c1 is the blue byte, c3 the red one.
    void setFlashOverlay(int32_t view, float c1, float c2, float c3, float alpha);
    void showStartPanels();
    void hideStartPanels();
    // Text 9008 (waiting for the other players) on every view's start panel.
    void showPanelMessage();
    void showNicknameMessage(int32_t view, const CEGUI::String& name);
    void showPausePanels();
    void hidePausePanels();
    // The view's time panel and its three times.
    void showTimePanel(int32_t view);
    // The displays' windows become the GUI's sheet again (after a loading screen took it).
    void showSheet();

    // The view's map and its rider dots.
    void showMinimap(int32_t view);
    // Moves dot k of every view whose map is shown to the world position.
    void placeMinimapDot(int32_t dot, float x, float z);
    // Dot k of every view.
    void setMinimapDotVisible(int32_t dot, bool visible);
    void setMinimapDotImage(int32_t view, int32_t dot, int32_t image);

    // Mutes the race and, outside a LAN game, stops its clock.
    void showPauseWindow();
    void onPauseContinue();
    void onPauseRestart();
    void onPauseQuit();
    // The message window; besides a lost connection it says that a high
    // score could not be saved. Its OK leaves the race.
    void showConnectionLost(int32_t textId);
    void onConnectionLostOk();
    void showTimeTrialResult();
    void showSingleRaceResult();
    void showEliminationResult();
    void showChampionshipResult();
    void showStandings();
    void onTimeTrialResultOk();
    void onRaceResultOk();
    void onEliminationResultOk();
    void onChampionshipResultOk();
    void onStandingsOk();
    // The LAN refresh of an open result table.
    void updateEliminationTable();
    void updateRaceResultTable();
    void updateChampionshipTable();

    // Offers the local player's result to the mode's table: the name entry
    // when it earns a place, else the race ends.
    void openNameEntry();
    // Stores the typed name's entry, the best lap and "highscore.dat"; ends
    // the race, the first time in a run that the file cannot be written
    // after saying so in the message window.
    void saveHighscore();
    void closeNameEntry();

    // What each view shows, for the race, tests and tools.
    struct Dot {
        float x = 0.0f; // top left on the 1024 x 768 layout
        float y = 0.0f;
        bool visible = false;
        int32_t image = RED;
    };
    struct View {
        float raceTime = 0.0f;
        float lapTime = 0.0f;
        float bestLap = 0.0f;
        int32_t position = 0;
        int32_t positionCount = 0;
        int32_t lap = 0;
        int32_t lapCount = 0;
        int32_t extra = 0;
        int32_t countdown = -1;
        bool countdownVisible = false;
        bool wrongWay = false;
        bool startPanel = false;
        bool pausePanel = false;
        bool nicknamePanel = false;
        int32_t messageText = 9050;
        // The rider named by the nickname panel.
        CEGUI::String nickname;
        float flashAlpha = 0.0f;
        float flashColour[3] = {0.0f, 0.0f, 0.0f};
        bool flashVisible = false;
        bool minimapVisible = false;
        float minimapX = 0.0f;
        float minimapY = 0.0f;
        Dot dots[MINIMAP_DOTS];
    };
    // One row of a result window: place or label, name, time, points.
    struct ResultRow {
        CEGUI::String cells[4];
        bool visible[4] = {false, false, false, false};
    };
    struct ResultTable {
        CEGUI::String title;
        ResultRow rows[RESULT_ROWS];
    };

    View m_views[VIEWS];
    bool m_visible[WINDOW_COUNT] = {};
    int32_t m_connectionLostText = 0;
    // The open result window's contents (time trial, race, elimination,
    // championship and standings share the one table).
    ResultTable m_table;
    // The name-entry window's place text and the chosen table.
    CEGUI::String m_rankText;
    HighscoreBase* m_entryTable = nullptr;
    HighscoreEntry m_entry;
    bool m_wasPaused = false;
    int32_t m_trackIndex = 0;
    float m_minimapScale = 0.7f;
    float m_minimapWidth = 512.0f;
    float m_minimapHeight = 512.0f;
    float m_worldMinX = -250.0f;
    float m_worldMaxX = 250.0f;
    float m_worldMinZ = -250.0f;
    float m_worldMaxZ = 250.0f;

private:
    explicit OnscreenDisplays(Race& race);
    bool usedView(int32_t view) const;
    int32_t viewCount() const;
    const CEGUI::String& text(int32_t id) const;

    // Window building, in create's order.
    void buildViewPanels();
    void buildMinimap();
    void buildSigns();
    void buildPanels();
    void buildWindows();
    void buildNameEntry();

    // Result windows: their frame, title, cells and OK button by kind.
    void buildTable(Window window);
    // Empties the table, then sets the title and the window's column headings.
    void startTable(Window window, int32_t titleText);
    // Fills and shows one cell of the table.
    void setCell(int32_t row, int32_t column, const CEGUI::String& text);
    // Rows 1 to the rider count labelled with their place, "1." on.
    void labelPlaceRows();
    // Each rider's name, race time and, when asked, the race's points in the row of its place.
    void fillPlaceRows(bool points);
    // The window's table state into its windows.
    void showTable(Window window);
    // The riders of the race, at most the five slots.
    int32_t riderCount() const;
    // Logged with what it says, when it is a message.
    void openWindow(Window window, const std::string& says = std::string());
    void closeWindow(Window window);
    // A one-player game offers the result to the high scores; any other leaves the race and the network.
    void endWithNameEntry();
    // Pause window closing, shared by its three buttons.
    void closePause();
    void leaveNetwork();
    // The name in the edit box, or the first player's name without a GUI.
    std::string typedName() const;

    Race& m_race;
    Config* m_config;
    GuiContext* m_gui;
    CEGUI::Window* m_root = nullptr;

    struct ViewWindows {
        CEGUI::Window* flashOverlay = nullptr;
        CEGUI::Window* lapPanel = nullptr;
        CEGUI::Window* timePanel = nullptr;
        CEGUI::Window* extraIcon = nullptr;
        CEGUI::Window* countdownImage = nullptr;
        CEGUI::Window* wrongWayImage = nullptr;
        CEGUI::Window* messagePanel = nullptr;
        CEGUI::Window* messageText = nullptr;
        CEGUI::Window* nicknamePanel = nullptr;
        CEGUI::Window* nicknameText = nullptr;
        CEGUI::Window* pausePanel = nullptr;
        CEGUI::Window* pauseText = nullptr;
        CEGUI::Window* minimap = nullptr;
        CEGUI::Window* minimapDots[MINIMAP_DOTS] = {};
        std::unique_ptr<LapDisplay> lapDisplay;
        std::unique_ptr<PositionDisplay> positionDisplay;
        std::unique_ptr<TimeDisplay> raceTimeDisplay;
        std::unique_ptr<TimeDisplay> lapTimeDisplay;
        std::unique_ptr<TimeDisplay> bestLapDisplay;
    };
    ViewWindows m_viewWindows[VIEWS];
    const CEGUI::Image* m_extraImages[EXTRA_KINDS] = {};

    // The frame windows by kind; the result windows' cells by row and column.
    CEGUI::Window* m_windows[WINDOW_COUNT] = {};
    CEGUI::Window* m_tableTitle[WINDOW_COUNT] = {};
    CEGUI::Window* m_tableCells[WINDOW_COUNT][RESULT_ROWS][4] = {};
    CEGUI::Window* m_connectionLostMessage = nullptr;
    CEGUI::Window* m_restartButton = nullptr;
    CEGUI::Window* m_rankWindow = nullptr;
    CEGUI::Window* m_nameEdit = nullptr;
};
