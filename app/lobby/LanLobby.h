#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "game/records/Config.h"
#include "game/records/RunState.h"

// The LAN lobby's rules and protocol. It keeps nothing of its own but whether
// it hosts and whether a joining player still waits: every choice lives in
// the replicated race values of the configuration. Each computer writes its
// own rider record (the host also the mode, track and laps), reads
// everybody's back every frame and starts its race in the frame it sees every
// present player ready. A joining player first asks for the lobby's state and
// polls for it each frame, so that the menu goes on drawing meanwhile.
class LanLobby {
public:
    // How long a joining player waits for the lobby's state before it gives up.
    static constexpr double STATE_WAIT_SECONDS = 10.0;
    // Why the connection is gone, as the player is told.
    enum Loss { HOST_LEFT, PLAYER_LEFT, CONNECTION_LOST };

    // Sets the shared race values to the last lobby's choices (at first a
    // championship of one lap on the first track), every rider slot empty;
    // the choices made here are kept there for the next lobby.
    LanLobby(Config& config, RunState::LanChoices& lanChoices);
    // A lobby given up while it waits for its state leaves the game.
    ~LanLobby();
    LanLobby(const LanLobby&) = delete;
    LanLobby& operator=(const LanLobby&) = delete;

    // Set before the lobby is entered.
    void setHost(bool isHost) { m_isHost = isHost; }
    bool isHost() const { return m_isHost; }
    // The host takes the lobby over and claims a moped at once; a joining
    // player asks for the lobby's state and waits for it.
    void enter();
    // Once a frame: the host's settings go out again, and a joining player's
    // wait ends when the state came, the connection went or
    // STATE_WAIT_SECONDS passed. True in the call that ended the wait.
    bool poll();
    bool isWaiting() const { return m_waiting; }

    void stepColour(bool forward);
    // To the next model in the direction that nobody rides.
    void stepModel(bool forward);
    void stepTrack(bool forward);
    void stepLaps(bool forward);
    void toggleMode();
    void ready();
    // Frees the own slot and its moped, then leaves the game.
    void leave();

    // The host until it is ready.
    bool isChoosingSettings() const;
    // At least two present and every other present player ready: the host may say ready.
    bool othersReady() const;
    // Still connected, and every present player ready (never fewer than
    // two) or, for a ready joining player, the host's race begun: the race
    // starts. The host clears its ready once its race is set up, and the
    // computer riders it adds are present but never ready: a copy that ran
    // no frame while the host's lobby closed still follows.
    bool allReady() const;
    bool isConnected() const;
    static Loss loss();
    // The text that tells the player of the loss.
    static int32_t lossText();

    // A LAN race: the riders' start places and who drives which moped where.
    void apply();

    const Config::Player& record(int slot) const;
    const Config::Player& ownRecord() const;
    // The own moped for the preview, always one the menu has.
    int32_t getOwnModel() const;
    int32_t getOwnColour() const;

private:
    // Every record empty; this computer sends its own, and the host for now all of them.
    void resetRecords(bool sendAll);
    // The lobby's state came, or the wait gave up: a moped and colour for this computer's player.
    void endWait(bool stateCame);
    // The last lobby's moped and colour where free, else the least ridden.
    void claimMoped();
    // The player's name, or, where a rider of a lower slot shows it already,
    // the name with this slot's number: every computer sees the same records,
    // so no two riders of the game read alike.
    void takeDistinctName();
    bool isNameShownBelow(const std::string& name) const;
    // A value of 0..count-1 that no rider holds in the field.
    bool isFree(int32_t value, int32_t Config::Player::*field, int32_t count) const;
    // Write access that sends the change.
    Config::Player& changeOwnRecord();
    // Present riders (a moped chosen), ready ones, and whether every other present one is ready.
    struct Tally {
        int present = 0;
        int ready = 0;
        bool othersReady = true;
    };
    Tally tally() const;
    // The host's record has the last start place, which only the host's
    // start gives it: its lobby's records have none.
    bool hostsRaceBegun() const;

    Config& m_config;
    RunState::LanChoices& m_lanChoices;
    bool m_isHost = false;
    bool m_waiting = false;
    std::chrono::steady_clock::time_point m_giveUp;
};
