#include <gtest/gtest.h>

#include <cstring>

#include "game/karts/RiderValueIds.h"
#include "game/race/LanLobbyServer.h"
#include "game/records/Config.h"
#include "tests/game/GameTestSupport.h"
#include "tests/net/NetTestSupport.h"

using nettest::Bytes;
using nettest::Chunk;
using nettest::RawPeer;

namespace {

Bytes recordBytes(const char* name) {
    Config::Player record;
    std::strcpy(record.name, name);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(bytes, bytes + sizeof record);
}

uint16_t riderNid(RiderValueIds::Id id, int rider) { return uint16_t(RiderValueIds::nidOf(id, rider)); }

RawPeer hello(uint16_t port, uint16_t nid) {
    RawPeer peer = RawPeer::connectTo(port);
    peer.sendChunk(nid);
    Chunk welcome;
    EXPECT_TRUE(peer.readUntil(3, welcome));
    return peer;
}

Chunk next(RawPeer& peer) {
    Chunk got;
    EXPECT_TRUE(peer.read(got));
    return got;
}

} // namespace

TEST(LanLobbyServer, TakesEachOfTheGamesValuesOnlyFromItsOwnerAtItsSizeAndShowsTheRecordsOfGuestsComingAndGone) {
    std::unique_ptr<GameDaemon::GameServer> server = startLanLobbyServer(0);
    ASSERT_NE(server->getBoundPort(), 0);
    const uint16_t port = server->getBoundPort();
    RawPeer host = hello(port, 1);
    RawPeer guest = hello(port, 2);
    Chunk shown = next(host);
    EXPECT_EQ(shown.nid, Config::PLAYER_NID + 1);
    EXPECT_EQ(shown.payload, recordBytes("...")) << "a guest's row before its record";

    // The host's record, settings and rider, a free slot's computer rider, a value of the wrong size and an id of
    // no value: none is the guest's to send.
    guest.sendChunk(Config::PLAYER_NID, recordBytes("forged"));
    for (uint16_t setting : {Config::GAME_NID, Config::LAPS_NID, Config::TRACK_NID}) guest.sendChunk(setting, {2, 0, 0, 0});
    guest.sendChunk(riderNid(RiderValueIds::MATRIX, 0), Bytes(64, 1));
    guest.sendChunk(riderNid(RiderValueIds::MATRIX, 3), Bytes(64, 1));
    guest.sendChunk(riderNid(RiderValueIds::MATRIX, 1), Bytes(12, 1));
    guest.sendChunk(1999, {1, 1, 1, 1});
    // Its own record and rider, and a rocket fired at the host's rider, are.
    guest.sendChunk(Config::PLAYER_NID + 1, recordBytes("Guest"));
    guest.sendChunk(riderNid(RiderValueIds::MATRIX, 1), Bytes(64, 2));
    guest.sendChunk(riderNid(RiderValueIds::ROCKET_FIRED, 0), {1, 0, 0, 0});
    EXPECT_EQ(next(host).payload, recordBytes("Guest")) << "a forged value was relayed";
    EXPECT_EQ(next(host).nid, riderNid(RiderValueIds::MATRIX, 1));
    EXPECT_EQ(next(host).nid, riderNid(RiderValueIds::ROCKET_FIRED, 0));

    // The host sends the settings and rides the free slot.
    host.sendChunk(Config::TRACK_NID, {3, 0, 0, 0});
    host.sendChunk(riderNid(RiderValueIds::MATRIX, 3), Bytes(64, 3));
    EXPECT_EQ(next(guest).nid, Config::TRACK_NID);
    EXPECT_EQ(next(guest).nid, riderNid(RiderValueIds::MATRIX, 3));

    // A guest gone frees its row.
    guest.close();
    shown = next(host);
    EXPECT_EQ(shown.nid, Config::PLAYER_NID + 1);
    EXPECT_EQ(shown.payload, recordBytes(""));
    GameDaemon::stopGameDaemon(server);
}

TEST(LanLobbyServer, SaysSoWhenAnotherProgramHoldsItsPort) {
    nettest::RawListener other;
    LogCapture log;
    std::unique_ptr<GameDaemon::GameServer> server = startLanLobbyServer(other.port());
    EXPECT_EQ(server->getBoundPort(), 0);
    GameDaemon::stopGameDaemon(server);
    EXPECT_NE(log.text().find("lobby server: port " + std::to_string(other.port()) +
                              " is held by another program; a game hosted here joins that program's lobby, not "
                              "its own, until the port is free\n"),
              std::string::npos)
        << log.text();
}
