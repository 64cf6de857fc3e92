#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "app/lobby/LanLobby.h"
#include "app/menu/SetUpScreen.h"

class MessageWindow;

// The LAN lobby's screen: it draws the lobby's state every frame and hands
// the clicks to the lobby's rules; the race starts (result 0) in the frame
// the lobby sees every present player ready. Back leaves the game; a lost
// connection shows why, and its OK goes back to the main menu.
class MultiplayerScreen : public SetUpScreen {
public:
    static constexpr const char* NAME = "MultiplayerScreen";
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

    // The lobby resets the shared race values.
    explicit MultiplayerScreen(Menu* owner);
    ~MultiplayerScreen() override;

    const char* name() const override { return NAME; }
    // Set by the menu before it switches here.
    void setHost(bool isHost) { m_lobby.setHost(isHost); }
    bool isHost() const { return m_lobby.isHost(); }
    // Enters the lobby; the choices open once a joining player has the lobby's state.
    void enter() override;
    // Every frame: polls the lobby, shows everybody's choices, starts when
    // all are ready and tells of a lost connection.
    void refreshLobby();
    void apply() override { m_lobby.apply(); }
    int32_t getOwnModel() const { return m_lobby.getOwnModel(); }
    int32_t getOwnColour() const { return m_lobby.getOwnColour(); }
    LanLobby& lobby() { return m_lobby; }

    CEGUI::Window* widget(Widget w) const { return m_widgets[w]; }
    CEGUI::Window* row(int slot, Column column) const { return m_rows[slot][column]; }
    MessageWindow& message() const { return *m_message; }

private:
    void buildWidgets();
    void buildRows();
    // A click's choice, then the lobby drawn again.
    void choose(Widget button, std::function<void()> change);
    // The own moped's choosers, and the host's settings; OK for a joining player.
    void openChoices();
    void ready();

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

    // Choice buttons of the host's race settings and of the own moped.
    void enableSettings(bool enabled);
    void enableMopedChoice(bool enabled);

    LanLobby m_lobby;
    CEGUI::Window* m_widgets[WIDGETS] = {};
    CEGUI::Window* m_rows[Config::RIDERS][COLUMNS] = {};
    std::unique_ptr<MessageWindow> m_message;
};
