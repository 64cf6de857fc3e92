#pragma once
#include <cstring>
#include <memory>
#include <vector>

#include "game/records/Config.h"
#include "net/NetControl.h"
#include "net/NetValue.h"

// Another computer of a LAN game in the test's process: a network client of
// its own with its own copy of the lobby's replicated values, under the ids
// the configuration gives them. It plays its side as that computer's lobby
// would: a host sends the settings, a joining player takes the lobby's state.
class RemotePlayer {
public:
    explicit RemotePlayer(const Config& config) {
        game.init(config.m_game.getNid(), 0);
        track.init(config.m_track.getNid(), 0);
        laps.init(config.m_laps.getNid(), 0);
        for (const NetValue<Config::Player>& record : config.m_player) {
            players.push_back(std::make_unique<NetValue<Config::Player>>(client));
            players.back()->init(record.getNid());
        }
    }
    ~RemotePlayer() { client.disconnect(); }

    // The host's lobby: its settings and its own record go out.
    bool host(uint16_t port, int32_t gameMode, int32_t trackIndex, int32_t lapCount) {
        client.setPort(port);
        if (!client.connect("localhost", true)) return false;
        takeOwnSlot();
        game = gameMode;
        track = trackIndex;
        laps = lapCount;
        // Sent even where they equal the blank values.
        for (NetValue<int>* setting : {&game, &track, &laps}) setting->modify();
        return true;
    }
    // A joining lobby: message 8, the stored values up to message 9, then its own record.
    bool join(uint16_t port) {
        client.setPort(port);
        if (!client.connect("127.0.0.1", false)) return false;
        for (NetValue<int>* setting : {&game, &track, &laps}) setting->setFlags(NetValueBase::FLAG_RECEIVE);
        takeOwnSlot();
        client.lock();
        client.beginChunk(NetProtocol::CHUNK_READY);
        client.sendChunk();
        client.unlock();
        if (!client.waitForStart(5.0)) return false;
        client.clearStart();
        client.sendChangedValues();
        return true;
    }
    void choose(const char* name, int32_t model, int32_t colour) {
        Config::Player& rider = own();
        std::strcpy(rider.name, name);
        rider.model = model;
        rider.colour = colour;
        client.sendChangedValues();
    }
    // This computer's frame: its changes out, what arrived applied.
    void frame() { client.sendChangedValues(); }
    Config::Player& own() { return *players[client.getPlayerSlot()]->modify(); }
    const Config::Player& record(int slot) const { return players[slot]->get(); }

    NetControl client;
    NetValue<int> game{client};
    NetValue<int> track{client};
    NetValue<int> laps{client};
    std::vector<std::unique_ptr<NetValue<Config::Player>>> players;

private:
    void takeOwnSlot() {
        for (size_t slot = 0; slot < players.size(); ++slot)
            players[slot]->setFlags(int(slot) == client.getPlayerSlot() ? NetValueBase::FLAG_SEND
                                                                        : NetValueBase::FLAG_RECEIVE);
    }
};
