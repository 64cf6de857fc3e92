#pragma once
#include <cstdint>

#include "game/race/GameRules.h"
#include "game/records/HighscoreStore.h"

// What the game keeps from its start to its end and never saves: the
// program owns it, the menus and the race read and change it.
class RunState {
public:
    // A LAN race that could not come up for its lost connection: the next main menu tells so.
    bool m_lanLost = false;
    bool m_toldHighscoreNotSaved = false; // the player hears it once a run; the log has each one
    HighscoreStore m_highscoreStore;      // the menu and the race load and save the tables through it
    // The LAN screens' last choices. The settings record has no room for them.
    struct LanChoices {
        bool join = false;
        int32_t game = GameRules::CHAMPIONSHIP;
        int32_t track = 0;
        int32_t laps = GameRules::FIRST_LAP;
        int32_t model = -1; // -1: none chosen, the lobby gives a free one
        int32_t colour = -1;
    };
    LanChoices m_lanChoices;
};
