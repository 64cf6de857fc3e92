#pragma once
#include <cstdint>

#include "app/menu/SetUpScreen.h"

// The set-up of a split-screen race: two players at one keyboard, each with
// a moped of their own, against three computer riders, in a single race on
// a chosen track or a championship from the first track. The two players
// never ride the same moped in the same colour.
class TwoPlayersScreen : public SetUpScreen {
public:
    static constexpr const char* NAME = "TwoPlayersScreen";
    // Windows in the order of creation.
    enum Widget {
        OK,
        BACK,
        COLOUR1_UP,
        COLOUR1_DOWN,
        COLOUR1,
        COLOUR2_UP,
        COLOUR2_DOWN,
        COLOUR2,
        MODEL1_LEFT,
        MODEL1_RIGHT,
        MODEL1,
        MODEL2_LEFT,
        MODEL2_RIGHT,
        MODEL2,
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

    explicit TwoPlayersScreen(Menu* owner);

    const char* name() const override { return NAME; }
    // Fresh rider records and every display from the stored choices.
    void enter() override;
    // Split screen: the two players in the last places, three computer riders.
    void apply() override;

    CEGUI::Window* widget(Widget w) const { return m_widgets[w]; }

private:
    // One step of a player's model or colour, past the other player's moped.
    void stepMoped(int player, bool colour, bool forward);
    void stepTrack(bool forward);
    void stepLaps(bool forward);
    void toggleMode();
    // Two equal mopeds from "config.dat" are told apart by the second's colour.
    void settleMopeds();

    void showColour(int player);
    void showModel(int player);
    void showTrack();
    void showLaps();
    // The mode's caption; a championship locks the track and laps.
    void showMode();

    CEGUI::Window* m_widgets[WIDGETS] = {};
};
