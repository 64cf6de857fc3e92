#include <gtest/gtest.h>

#include <atomic>

#include "net/GameServer.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::chunk;
using nettest::Chunk;
using nettest::RawPeer;
using nettest::waitUntil;

namespace {

// Peers that break the protocol on purpose; the others must go on.
class GameServerHostileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.start()); }
    void TearDown() override { m_server.stop(); }
    uint16_t port() const { return m_server.getBoundPort(); }
    RawPeer hello(uint16_t nid = 2, uint8_t expectedSlot = 255, int receiveBuffer = 0) {
        RawPeer peer = RawPeer::connectTo(port(), receiveBuffer);
        peer.sendChunk(nid);
        Chunk welcome;
        EXPECT_TRUE(peer.read(welcome));
        EXPECT_EQ(welcome.nid, 3);
        if (expectedSlot != 255) {
            EXPECT_EQ(welcome.payload, Bytes{expectedSlot});
        }
        return peer;
    }
    // The value reached the other player: the relay still works.
    void expectRelayed(RawPeer& from, RawPeer& to, uint16_t nid = 600) {
        from.sendChunk(nid, {4, 2});
        Chunk got;
        ASSERT_TRUE(to.read(got));
        EXPECT_EQ(got.nid, nid);
        EXPECT_EQ(got.payload, (Bytes{4, 2}));
    }

    GameDaemon::GameServer m_server{0, 300};
};

} // namespace

TEST_F(GameServerHostileTest, WelcomeRefusalAndStartFromAClientAreNeitherRelayedNorStored) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    guest.sendChunk(3, {4});
    guest.sendChunk(4);
    guest.sendChunk(9);
    EXPECT_TRUE(host.quiet());
    host.sendChunk(8);
    Chunk start;
    ASSERT_TRUE(host.read(start));
    EXPECT_EQ(start.nid, 9);
    EXPECT_TRUE(host.quiet());
}

TEST_F(GameServerHostileTest, ChunksBeforeHelloAreDropped) {
    RawPeer host = hello(1);
    RawPeer stranger = RawPeer::connectTo(port());
    stranger.send(nettest::join({chunk(700, {1}), chunk(10, {1}), chunk(11, nettest::u32(1)), chunk(8)}));
    EXPECT_TRUE(host.quiet());
    EXPECT_TRUE(stranger.quiet());
    EXPECT_EQ(m_server.getStoredBytes(), 0u);
    EXPECT_FALSE(m_server.isLobbyClosed());
}

TEST_F(GameServerHostileTest, LobbyClosedIsTakenFromTheHostOnly) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    guest.sendChunk(10, {1});
    guest.sendChunk(700, {1});
    Chunk relayed;
    ASSERT_TRUE(host.read(relayed));
    EXPECT_FALSE(m_server.isLobbyClosed());
    host.sendChunk(10, {1, 1});
    host.sendChunk(10, {});
    host.sendChunk(701, {1});
    ASSERT_TRUE(guest.read(relayed));
    EXPECT_FALSE(m_server.isLobbyClosed());
    host.sendChunk(10, {2});
    EXPECT_TRUE(waitUntil([&] { return m_server.isLobbyClosed(); }));
}

TEST_F(GameServerHostileTest, RepeatedHelloKeepsTheSlotAlreadyHeld) {
    RawPeer host = hello(1, 0);
    RawPeer guest = hello(2, 1);
    guest.sendChunk(2);
    guest.sendChunk(1);
    Chunk welcome;
    ASSERT_TRUE(guest.read(welcome));
    EXPECT_EQ(welcome.payload, Bytes{1});
    ASSERT_TRUE(guest.read(welcome));
    EXPECT_EQ(welcome.payload, Bytes{1});
    EXPECT_EQ(m_server.getOccupiedSlots(), 2);
    RawPeer next = hello(2, 2);
}

TEST_F(GameServerHostileTest, PeerThatNeverSaysHelloIsClosedAfterTheHelloTime) {
    RawPeer silent = RawPeer::connectTo(port());
    RawPeer host = hello(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(silent.closedByPeer(2000));
    EXPECT_TRUE(host.quiet(50)) << "a player holding a slot is kept";
    RawPeer guest = hello();
    expectRelayed(host, guest);
}

TEST_F(GameServerHostileTest, ChunkLengthBelowTheHeaderClosesOnlyThatConnection) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    RawPeer broken = hello();
    broken.send({0, 0, 0, 0});
    EXPECT_TRUE(broken.closedByPeer());
    RawPeer tooLong = hello();
    tooLong.send({0x00, 0x7D, 20, 0});
    EXPECT_TRUE(tooLong.closedByPeer());
    expectRelayed(host, guest);
    EXPECT_TRUE(waitUntil([&] { return m_server.getOccupiedSlots() == 2; }));
}

TEST_F(GameServerHostileTest, IdsOfTwoThousandAndAboveAreDroppedSilently) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    guest.send(nettest::join({chunk(2000, {1}), chunk(65535, {1, 2})}));
    EXPECT_TRUE(host.quiet());
    EXPECT_EQ(m_server.getStoredBytes(), 0u);
    expectRelayed(guest, host);
}

TEST_F(GameServerHostileTest, StoredPayloadsStayWithinTheirBound) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    Bytes big(30000, 7);
    for (uint16_t nid = 12; nid < 12 + 60; ++nid) guest.sendChunk(nid, big);
    Chunk got;
    size_t relayed = 0;
    while (host.read(got, 300)) ++relayed;
    EXPECT_LE(m_server.getStoredBytes(), GameDaemon::GameServer::MAX_STORED_BYTES);
    EXPECT_EQ(relayed, GameDaemon::GameServer::MAX_STORED_BYTES / big.size());
    // Replacing a stored payload still fits.
    guest.sendChunk(12, {1});
    ASSERT_TRUE(host.read(got));
    EXPECT_EQ(got.payload, Bytes{1});
}

TEST_F(GameServerHostileTest, PeerLeavingInTheMiddleOfAChunkFreesItsSlot) {
    RawPeer host = hello(1);
    {
        RawPeer guest = hello();
        Bytes half = chunk(600, Bytes(100, 1));
        half.resize(50);
        guest.send(half);
    }
    EXPECT_TRUE(waitUntil([&] { return m_server.getOccupiedSlots() == 1; }));
    EXPECT_TRUE(host.quiet());
    RawPeer next = hello(2, 1);
    expectRelayed(next, host);
}

TEST_F(GameServerHostileTest, NewHostAfterTheHostLeftLetsTheOldGuestsGo) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    host.close();
    Chunk leave;
    ASSERT_TRUE(guest.read(leave));
    EXPECT_EQ(leave.nid, 6);
    RawPeer newHost = hello(1, 0);
    EXPECT_TRUE(guest.closedByPeer());
    RawPeer newGuest = hello(2, 1);
    expectRelayed(newGuest, newHost);
}

TEST_F(GameServerHostileTest, SlowReaderIsCutOffAndTheOthersGoOn) {
    RawPeer host = hello(1);
    RawPeer slow = hello(2, 1, 4096);
    RawPeer guest = hello();
    Bytes big(30000, 3);
    // The slow peer reads nothing; its buffers fill, then the server's send times out
    // (a busy machine may need long to fill them, so the wait is generous).
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::thread flood([&] {
        for (int i = 0; i < 1000 && !stop; ++i) guest.sendChunk(40, big);
        done = true;
    });
    Chunk got;
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(25) && m_server.getOccupiedSlots() == 3)
        host.read(got, 50);
    stop = true;
    while (!done) host.read(got, 50);
    flood.join();
    EXPECT_EQ(m_server.getOccupiedSlots(), 2);
    while (host.read(got, 200)) {
    }
    expectRelayed(guest, host, 41);
}

TEST_F(GameServerHostileTest, OpenConnectionsAreCapped) {
    std::vector<RawPeer> peers;
    for (size_t i = 0; i < NetServer::MAX_CONNECTIONS + 4; ++i) peers.push_back(RawPeer::connectTo(port()));
    EXPECT_TRUE(waitUntil([&] { return m_server.getConnectionCount() == NetServer::MAX_CONNECTIONS; }));
    EXPECT_TRUE(peers.back().closedByPeer());
}
