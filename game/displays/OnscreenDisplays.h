#pragma once
#include <cstdint>
#include <string>

class Race;

// The race's window set over the rendered views: per view the times, lap,
// place, held extra, mini map, countdown and wrong-way images and the
// message panels; for the race the pause, result, standings, name-entry and
// connection-lost windows. Keeps what each shows, so the race can ask what
// is visible with or without a GUI to draw it.
class OnscreenDisplays {
public:
    static constexpr int VIEWS = 2;
    // Windows the race asks about by kind.
    enum Window {
        PAUSE, CONNECTION_LOST, TIME_TRIAL_RESULT, SINGLE_RACE_RESULT, ELIMINATION_RESULT, CHAMPIONSHIP_RESULT,
        STANDINGS, NAME_ENTRY, WINDOW_COUNT
    };

    // Builds the displays of the race's views.
    static OnscreenDisplays* create(Race& race);
    void destroy();

    bool isVisible(Window window) const { return window >= 0 && window < WINDOW_COUNT && m_visible[window]; }
    // The view's message panel pair (nickname messages of an elimination race).
    bool isMessagePanelVisible(int32_t view) const;
    void hideMessagePanels(int32_t view);

    void setRaceTime(float seconds);
    void setLapTime(int32_t view, float seconds);
    void setSecondaryTime(int32_t view, float seconds);
    // Position of count; a count of -1 shows none.
    void setPosition(int32_t view, int32_t position, int32_t count);
    // Lap of count; a count of -1 shows none (elimination).
    void setLap(int32_t view, int32_t lap, int32_t count);
    // Kinds 0 to 12; any other leaves the icon as it is.
    void setExtraIcon(int32_t view, int32_t kind);
    // Countdown picture n (0 "Count4" to 3 "Count1"); the window's visibility is separate.
    void showCountdown(int32_t view, int32_t n);
    void setCountdownVisible(int32_t view, bool visible);
    void setWrongWayVisible(int32_t view, bool visible);
    void setFlashOverlay(int32_t view, float c1, float c2, float c3, float alpha);
    void showStartPanels();
    void hideStartPanels();
    // Text 9008 (waiting for the other players) on every view's panel.
    void showPanelMessage();
    void showNicknameMessage(int32_t view, const std::string& name);
    void showPausePanels();
    void hidePausePanels();
    // Dots 0 to 4 the riders, 5 to 9 their rockets.
    void placeMinimapDot(int32_t dot, float x, float z);
    void setMinimapDotVisible(int32_t dot, bool visible);
    void setMinimapDotImage(int32_t view, int32_t dot, int32_t image);
    void setRocketDotsVisible(bool visible);

    // Mutes the race and, outside a LAN game, stops its clock.
    void showPauseWindow();
    void showConnectionLost(int32_t textId);
    void showTimeTrialResult();
    void showSingleRaceResult();
    void showEliminationResult();
    void showChampionshipResult();
    void updateEliminationTable();
    void updateRaceResultTable();
    void updateChampionshipTable();

    // What each view shows, for the race, tests and tools.
    struct View {
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
        bool messagePanel = false;
        int32_t messageText = 0;
        std::string nickname;
        float flashAlpha = 0.0f;
        float flashColour[3] = {0.0f, 0.0f, 0.0f};
    };
    View m_views[VIEWS];
    float m_raceTime = 0.0f;
    int32_t m_connectionLostText = 0;
    bool m_visible[WINDOW_COUNT] = {};
    float m_dotX[10] = {};
    float m_dotZ[10] = {};
    bool m_dotVisible[10] = {};
    bool m_rocketDots = false;

private:
    explicit OnscreenDisplays(Race& race);
    bool usedView(int32_t view) const;

    Race& m_race;
};
