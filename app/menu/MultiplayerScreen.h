#pragma once
#include <cstdint>
#include <memory>

#include "app/menu/SetUpScreen.h"

class MessageWindow;

// The LAN lobby. It keeps nothing of its own but whether it hosts: every
// choice lives in the replicated race values of the configuration. Each
// computer writes its own rider record (the host also the mode, track and
// laps), reads everybody's back every frame and starts its race (result 0)
// in the frame it sees every present player ready. Back leaves the game; a
// lost connection shows why, and its OK goes back to the main menu.
class MultiplayerScreen : public SetUpScreen {
public:
    static constexpr const char* NAME = "MultiplayerScreen";
    // How long a joining player waits for the lobby's state before it gives up.
    static constexpr double STATE_WAIT_SECONDS = 10.0;
    // Windows in the order of creation.
    enum Widget {
        OK,
        BACK,
        MODEL_LEFT,
        MODEL_RIGHT,
        MODEL,
        COLOUR_UP,
        COLOUR_DOWN,
        COLOUR,
        TRACK_PICTURE,
        TRACK_LEFT,
        TRACK_RIGHT,
        TRACK,
        LAPS,
        LAPS_LEFT,
        LAPS_RIGHT,
        MODE_LEFT,
        MODE_RIGHT,
        MODE,
        WIDGETS
    };
    // One row of the players' table per rider slot.
    enum Column { READY_ICON, NAME_TEXT, COLOUR_TEXT, MODEL_TEXT, COLUMNS };

    // Resets the shared race values to a championship of one lap on the
    // first track with every rider slot empty.
    explicit MultiplayerScreen(Menu* owner);
    ~MultiplayerScreen() override;

    const char* name() const override { return NAME; }
    // Set by the menu before it switches here.
    void setHost(bool isHost) { m_isHost = isHost; }
    bool isHost() const { return m_isHost; }
    // Takes the lobby over as host, or, joining, waits for its state (at
    // most STATE_WAIT_SECONDS, the window kept alive); then claims a free
    // moped and colour for this computer's player.
    void enter() override;
    // Every frame: shows everybody's choices, starts when all are ready and
    // tells of a lost connection.
    void refreshLobby();
    // A LAN race: the riders' start places and who drives which moped where.
    void apply() override;
    // The own moped for the preview, always one the menu has.
    int32_t getOwnModel() const;
    int32_t getOwnColour() const;

    CEGUI::Window* widget(Widget w) const { return m_widgets[w]; }
    CEGUI::Window* row(int slot, Column column) const { return m_rows[slot][column]; }
    MessageWindow& message() const { return *m_message; }

private:
    void buildWidgets();
    void buildRows();
    // Every record empty; this computer sends its own, and the host for now all of them.
    void resetRecords(bool sendAll);
    // Message 8, then the stored values and message 9; false when they did not come.
    bool awaitLobbyState();
    void claimMoped();
    void stepColour(bool forward);
    // To the next model in the direction that nobody rides.
    void stepModel(bool forward);
    void stepTrack(bool forward);
    void stepLaps(bool forward);
    void toggleMode();
    void ready();
    void leaveGame();

    // The track and its picture; the host chooses one for a single race only.
    void showTrack();
    void showRows();
    void showOwnMoped();
    using ChoiceText = void (SetUpScreen::*)(CEGUI::Window&, int32_t) const;
    // Empty for -1 (none chosen).
    void showChoice(CEGUI::Window& caption, int32_t value, ChoiceText text) const;
    // Laps only for a single race.
    void showLaps();
    // Starts when every present player is ready; the host's OK waits for all the others.
    void checkStart();
    void showConnectionLost();

    const Config::Player& record(int slot) const;
    const Config::Player& ownRecord() const;
    // Write access that sends the change.
    Config::Player& changeOwnRecord();
    // The host until it is ready.
    bool isChoosingSettings() const;
    // Choice buttons of the host's race settings and of the own moped.
    void enableSettings(bool enabled);
    void enableMopedChoice(bool enabled);

    bool m_isHost = false;
    CEGUI::Window* m_widgets[WIDGETS] = {};
    CEGUI::Window* m_rows[Config::RIDERS][COLUMNS] = {};
    std::unique_ptr<MessageWindow> m_message;
};
