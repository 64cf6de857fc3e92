#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "net/GameServer.h"
#include "net/NetControl.h"
#include "net/NetValue.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::chunk;
using nettest::Chunk;
using nettest::RawPeer;
using nettest::waitUntil;

namespace {

// One client with one replicated int per player slot (nid 500 + slot).
struct Player {
    Player() {
        for (int slot = 0; slot < 5; ++slot) {
            values.push_back(std::make_unique<NetValue<int>>(client));
            values.back()->init(500 + slot, 0);
        }
    }
    ~Player() { client.disconnect(); }
    NetValue<int>& own() { return *values[client.getPlayerSlot()]; }
    void send(uint16_t nid, const Bytes& payload = {}) {
        client.lock();
        client.beginChunk(nid);
        for (uint8_t byte : payload) client.writeByte(byte);
        client.sendChunk();
        client.unlock();
    }
    NetControl client;
    std::vector<std::unique_ptr<NetValue<int>>> values;
};

class GameServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.start()); }
    void TearDown() override {
        m_players.clear();
        m_server.stop();
    }
    uint16_t port() const { return m_server.getBoundPort(); }
    Player& join(bool host = false) {
        m_players.push_back(std::make_unique<Player>());
        Player& player = *m_players.back();
        player.client.setPort(port());
        EXPECT_TRUE(player.client.connect(host ? "localhost" : "127.0.0.1", host));
        return player;
    }
    void fillLobby() {
        join(true);
        for (int i = 0; i < 4; ++i) join();
    }
    RawPeer rawJoin(uint16_t hello = 2) {
        RawPeer peer = RawPeer::connectTo(port());
        peer.sendChunk(hello);
        Chunk welcome;
        EXPECT_TRUE(peer.read(welcome));
        EXPECT_EQ(welcome.nid, 3);
        return peer;
    }
    // Every client commits what arrived, as each one's frame does.
    void frame() {
        for (auto& player : m_players) player->client.sendChangedValues();
    }

    GameDaemon::GameServer m_server{0, 300};
    std::vector<std::unique_ptr<Player>> m_players;
};

} // namespace

TEST_F(GameServerTest, WelcomesTheHostAndFourGuestsInSlotOrderAndRefusesASixth) {
    fillLobby();
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(m_players[slot]->client.getPlayerSlot(), slot);
        EXPECT_TRUE(m_players[slot]->client.isWelcomed());
    }
    NetControl sixth;
    sixth.setPort(port());
    EXPECT_FALSE(sixth.connect("127.0.0.1", false));
    EXPECT_EQ(sixth.getStatus(), NetControl::STATUS_REFUSED);
    EXPECT_TRUE(sixth.isRefused());
    EXPECT_EQ(m_server.getOccupiedSlots(), 5);
}

TEST_F(GameServerTest, JoinWithoutAHostAndASecondHostAreRefused) {
    NetControl guest;
    guest.setPort(port());
    EXPECT_FALSE(guest.connect("127.0.0.1", false));
    EXPECT_EQ(guest.getStatus(), NetControl::STATUS_REFUSED);
    Player& host = join(true);
    NetControl secondHost;
    secondHost.setPort(port());
    EXPECT_FALSE(secondHost.connect("localhost", true));
    EXPECT_EQ(secondHost.getStatus(), NetControl::STATUS_REFUSED);
    EXPECT_TRUE(host.client.isConnected());
    EXPECT_EQ(host.client.getPlayerSlot(), 0);
}

TEST_F(GameServerTest, RelaysValuesToTheOthersAndReplaysThemToAReadyPlayer) {
    Player& host = join(true);
    host.own() = 11;
    host.client.sendChangedValues();
    // Stored before the guests join, so none of them has it relayed.
    ASSERT_TRUE(waitUntil([&] { return m_server.getStoredBytes() > 0; }));
    for (int i = 0; i < 4; ++i) join();
    Player& guest2 = *m_players[2];
    guest2.own() = 22;
    guest2.client.sendChangedValues();
    ASSERT_TRUE(waitUntil([&] {
        frame();
        return host.values[2]->get() == 22 && m_players[4]->values[2]->get() == 22;
    }));
    EXPECT_EQ(m_players[1]->values[0]->get(), 0) << "joined after the host's value went out";

    Player& guest1 = *m_players[1];
    guest1.send(8);
    ASSERT_TRUE(guest1.client.waitForStart(3.0));
    guest1.client.sendChangedValues();
    EXPECT_EQ(guest1.values[0]->get(), 11);
    EXPECT_EQ(guest1.values[2]->get(), 22);
    EXPECT_FALSE(host.client.isStarted());

    guest1.client.clearStart();
    EXPECT_FALSE(guest1.client.isStarted());
    EXPECT_FALSE(guest1.client.waitForStart(0.2)) << "no second start without a second ready";
    guest1.send(8);
    EXPECT_TRUE(guest1.client.waitForStart(3.0));
}

TEST_F(GameServerTest, StartWaitEndsEarlyWhenTheServerGoesAway) {
    join(true);
    Player& guest = join();
    auto start = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        m_server.stop();
    });
    EXPECT_FALSE(guest.client.waitForStart(10.0));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(guest.client.isConnected());
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(guest.client.waitForStart(10.0)) << "nothing to wait for without a connection";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

TEST_F(GameServerTest, ReadyReplaysStoredValuesByAscendingNidThenStart) {
    join(true);
    RawPeer guest = rawJoin();
    RawPeer sender = rawJoin();
    sender.sendChunk(900, {9});
    sender.sendChunk(12, {1});
    sender.sendChunk(5, {5});
    sender.sendChunk(0, {0});
    Chunk relayed;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(guest.read(relayed));
    guest.sendChunk(8);
    std::vector<uint16_t> nids;
    Chunk chunk;
    while (guest.read(chunk)) {
        nids.push_back(chunk.nid);
        if (chunk.nid == 9) break;
    }
    EXPECT_EQ(nids, (std::vector<uint16_t>{0, 5, 12, 900, 9}));
    // Once a connection: a ready again is only started.
    guest.sendChunk(8);
    ASSERT_TRUE(guest.read(chunk));
    EXPECT_EQ(chunk.nid, 9);
    EXPECT_TRUE(guest.quiet());
}

TEST_F(GameServerTest, ReadyWithNothingStoredYieldsOnlyStart) {
    join(true);
    RawPeer guest = rawJoin();
    guest.sendChunk(8);
    Chunk start;
    ASSERT_TRUE(guest.read(start));
    EXPECT_EQ(start.nid, 9);
    EXPECT_TRUE(guest.quiet());
}

TEST_F(GameServerTest, ValueFromOneSlotReachesEveryOtherOccupiedSlotButNotItself) {
    join(true);
    RawPeer a = rawJoin();
    RawPeer b = rawJoin();
    RawPeer c = rawJoin();
    b.sendChunk(777, {1, 2, 3});
    Chunk got;
    ASSERT_TRUE(a.read(got));
    EXPECT_EQ(got.nid, 777);
    EXPECT_EQ(got.payload, (Bytes{1, 2, 3}));
    ASSERT_TRUE(c.read(got));
    EXPECT_TRUE(b.quiet());
}

TEST_F(GameServerTest, BarrierAnswersEveryOccupiedSlotOnceEachHasSentTheValue) {
    fillLobby();
    m_players[2]->client.disconnect();
    ASSERT_TRUE(waitUntil([&] { return m_server.getOccupiedSlots() == 4; }));
    for (int i : {0, 1, 3}) m_players[i]->send(11, nettest::u32(77));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(m_players[0]->client.getBarrierValue(), 0u);
    m_players[4]->send(11, nettest::u32(77));
    for (int i : {0, 1, 3, 4})
        EXPECT_TRUE(waitUntil([&] { return m_players[i]->client.getBarrierValue() == 77; })) << i;
}

TEST_F(GameServerTest, BarrierWithOneOccupiedSlotAnswersAtOnce) {
    Player& host = join(true);
    host.send(11, nettest::u32(5));
    EXPECT_TRUE(waitUntil([&] { return host.client.getBarrierValue() == 5; }));
}

TEST_F(GameServerTest, BarrierCompletesWhenTheMemberItWaitedForLeaves) {
    RawPeer host = rawJoin(1);
    RawPeer late = rawJoin();
    host.sendChunk(11, nettest::u32(3));
    EXPECT_TRUE(host.quiet());
    late.close();
    Chunk answer;
    ASSERT_TRUE(host.read(answer));
    EXPECT_EQ(answer.nid, 11);
    EXPECT_EQ(answer.payload, nettest::u32(3));
}

TEST_F(GameServerTest, GuestLeavingAnOpenLobbyIsNotAnnouncedAndItsSlotIsReused) {
    Player& host = join(true);
    Player& first = join();
    join();
    first.client.disconnect();
    ASSERT_TRUE(waitUntil([&] { return m_server.getOccupiedSlots() == 2; }));
    EXPECT_TRUE(host.client.isConnected());
    Player& next = join();
    EXPECT_EQ(next.client.getPlayerSlot(), 1);
}

TEST_F(GameServerTest, GuestLeavingAfterTheLobbyClosedEndsTheOthersWithStatusFour) {
    fillLobby();
    m_players[0]->client.sendLobbyClosed(true);
    ASSERT_TRUE(waitUntil([&] { return m_server.isLobbyClosed(); }));
    m_players[3]->client.disconnect();
    EXPECT_EQ(m_players[3]->client.getStatus(), NetControl::STATUS_LEFT);
    for (int i : {0, 1, 2, 4}) {
        EXPECT_TRUE(waitUntil([&] { return !m_players[i]->client.isConnected(); })) << i;
        EXPECT_EQ(m_players[i]->client.getStatus(), NetControl::STATUS_ENDED) << i;
    }
}

TEST_F(GameServerTest, HostLeavingEndsTheGuestsWithStatusThree) {
    fillLobby();
    m_players[0]->client.disconnect();
    for (int i = 1; i < 5; ++i) {
        EXPECT_TRUE(waitUntil([&] { return !m_players[i]->client.isConnected(); })) << i;
        EXPECT_EQ(m_players[i]->client.getStatus(), NetControl::STATUS_ENDED_BY_HOST) << i;
    }
    EXPECT_TRUE(waitUntil([&] { return m_server.getOccupiedSlots() == 0; }));
    Player& newHost = join(true);
    EXPECT_EQ(newHost.client.getPlayerSlot(), 0);
}

TEST_F(GameServerTest, HostDroppingItsConnectionAnnouncesLeaveWithSlotZero) {
    RawPeer host = rawJoin(1);
    RawPeer guest = rawJoin();
    host.close();
    Chunk leave;
    ASSERT_TRUE(guest.read(leave));
    EXPECT_EQ(leave.nid, 6);
    EXPECT_EQ(leave.payload, Bytes{0});
}

TEST_F(GameServerTest, JoinIsRefusedWhileTheLobbyIsClosedAndAcceptedAfterItReopens) {
    Player& host = join(true);
    host.client.sendLobbyClosed(true);
    ASSERT_TRUE(waitUntil([&] { return m_server.isLobbyClosed(); }));
    NetControl late;
    late.setPort(port());
    EXPECT_FALSE(late.connect("127.0.0.1", false));
    EXPECT_EQ(late.getStatus(), NetControl::STATUS_REFUSED);
    host.client.sendLobbyClosed(false);
    ASSERT_TRUE(waitUntil([&] { return !m_server.isLobbyClosed(); }));
    EXPECT_TRUE(late.connect("127.0.0.1", false));
    EXPECT_EQ(late.getPlayerSlot(), 1);
    late.disconnect();
}

TEST_F(GameServerTest, StopEndsEveryConnectionAndJoinsAllThreads) {
    fillLobby();
    RawPeer silent = RawPeer::connectTo(port());
    ASSERT_TRUE(waitUntil([&] { return m_server.getConnectionCount() == 6; }));
    auto start = std::chrono::steady_clock::now();
    m_server.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(m_server.getConnectionCount(), 0u);
    for (auto& player : m_players) EXPECT_TRUE(waitUntil([&] { return !player->client.isConnected(); }));
    EXPECT_TRUE(silent.closedByPeer());
}
