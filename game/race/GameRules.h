#pragma once
#include <cstdint>

// What the game offers, counted once for the race, the records and the menus:
// moped models, their colours, tracks and riders, and the kinds of game.
struct GameRules {
    static constexpr int32_t MODELS = 5;
    static constexpr int32_t COLOURS = 4;
    static constexpr int32_t TRACKS = 6;
    static constexpr int32_t RIDERS = 5;
    static constexpr int32_t FIRST_LAP = 1;
    static constexpr int32_t LAST_LAP = 5;
    // Every race of a championship has this many laps.
    static constexpr int32_t CHAMPIONSHIP_LAPS = 3;
    // Player kinds by rider slot.
    enum PlayerKind { SINGLE = 0, USER1 = 1, USER2 = 2, REMOTE = 3, GUEST = 4, COMPUTER = 5 };
    enum Game { TIME_TRIAL = 0, SINGLE_RACE = 1, ELIMINATION = 2, CHAMPIONSHIP = 3 };
    enum PlayMode { ONE_PLAYER = 0, SPLIT_SCREEN = 1, LAN = 2 };
};
