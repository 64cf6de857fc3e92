#include <gtest/gtest.h>

#include <memory>

#include "net/GameServer.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::Chunk;
using nettest::RawPeer;

namespace {

class GameServerOwnersTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server = std::make_unique<GameDaemon::GameServer>(0, 400);
        m_server->setValueOwners(std::make_shared<nettest::TestOwners>());
        ASSERT_TRUE(m_server->start());
    }
    void TearDown() override { m_server->stop(); }
    RawPeer hello(uint16_t nid, uint8_t slot) {
        RawPeer peer = RawPeer::connectTo(m_server->getBoundPort());
        peer.sendChunk(nid);
        Chunk welcome;
        EXPECT_TRUE(peer.readUntil(3, welcome));
        EXPECT_EQ(welcome.payload, Bytes{slot});
        return peer;
    }
    // The next value chunk that reaches the peer.
    static Chunk next(RawPeer& peer) {
        Chunk got;
        EXPECT_TRUE(peer.read(got));
        return got;
    }

    std::unique_ptr<GameDaemon::GameServer> m_server;
};

} // namespace

TEST_F(GameServerOwnersTest, EachValueIsTakenOnlyFromTheComputerThatOwnsIt) {
    RawPeer host = hello(1, 0);
    RawPeer first = hello(2, 1);
    EXPECT_EQ(next(host).payload, (Bytes{7, 7, 7, 7})) << "the joiner's row is shown from its welcome";
    first.sendChunk(26, {1, 1, 1, 1});
    EXPECT_EQ(next(host).payload, (Bytes{1, 1, 1, 1}));
    RawPeer second = hello(2, 2);
    next(host);
    next(first);

    // Another player's record, the host's settings, the host's rider and a free slot's computer rider: all
    // forged; an own value of the wrong size and an id of no value are no better.
    for (uint16_t forged : {25, 26, 20}) second.sendChunk(forged, {9, 9, 9, 9});
    for (uint16_t forged : {500, 503}) second.sendChunk(forged, {9});
    second.sendChunk(502, {2, 2});
    second.sendChunk(800, {8});
    second.sendChunk(502, {2});
    second.sendChunk(600, {6});
    Chunk got = next(host);
    EXPECT_EQ(got.nid, 502) << "a forged value was relayed";
    EXPECT_EQ(next(host).nid, 600) << "a hit any player may score";
    EXPECT_EQ(next(first).nid, 502);
    EXPECT_EQ(next(first).nid, 600);
    host.sendChunk(503, {3});
    EXPECT_EQ(next(first).nid, 503) << "the host rides the free slot's computer rider";

    // A later player is replayed only what each value's owner sent.
    second.sendChunk(8);
    for (Chunk replayed; second.read(replayed) && replayed.nid != 9;)
        EXPECT_TRUE((replayed.payload != Bytes{9, 9, 9, 9} && replayed.payload != Bytes{9})) << replayed.nid;
}

TEST_F(GameServerOwnersTest, AGuestGoneHoweverItWentFreesItsRowEverywhereAndOneWithoutARecordIsLetGo) {
    RawPeer host = hello(1, 0);
    RawPeer player = hello(2, 1);
    next(host);
    player.sendChunk(26, {1, 1, 1, 1});
    player.sendChunk(501, {5});
    next(host);
    next(host);
    RawPeer silent = hello(2, 2);
    EXPECT_EQ(next(host).nid, 27);
    // Its welcome's time, as long as the hello's, runs out without a record of its own.
    EXPECT_TRUE(silent.closedByPeer(2000));
    Chunk freed = next(host);
    EXPECT_EQ(freed.nid, 27);
    EXPECT_EQ(freed.payload, (Bytes{0, 0, 0, 0}));

    // A player killed in the lobby says nothing: its row and its values go all the same.
    player.close();
    freed = next(host);
    EXPECT_EQ(freed.nid, 26);
    EXPECT_EQ(freed.payload, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(m_server->getOccupiedSlots(), 1);
    RawPeer later = hello(2, 1);
    later.sendChunk(8);
    for (Chunk replayed; later.read(replayed) && replayed.nid != 9;) {
        EXPECT_NE(replayed.nid, 501) << "a value of the player gone was replayed";
        if (replayed.nid == 26) {
            EXPECT_EQ(replayed.payload, (Bytes{7, 7, 7, 7}));
        }
    }
}
