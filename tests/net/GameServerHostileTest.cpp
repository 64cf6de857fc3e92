#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "net/GameServer.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::chunk;
using nettest::Chunk;
using nettest::HostilePeers;
using nettest::RawPeer;
using nettest::waitUntil;

namespace {

using Clock = std::chrono::steady_clock;

// Peers that break the protocol on purpose; the others must go on.
class GameServerHostileTest : public ::testing::Test {
protected:
    void SetUp() override { useServer(300); }
    void TearDown() override { m_server->stop(); }
    void useServer(uint32_t helloTimeoutMs, std::shared_ptr<const ValueOwners> owners = nullptr) {
        if (m_server) m_server->stop();
        m_server = std::make_unique<GameDaemon::GameServer>(0, helloTimeoutMs);
        m_server->setValueOwners(std::move(owners));
        ASSERT_TRUE(m_server->start());
    }
    uint16_t port() const { return m_server->getBoundPort(); }
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
    void expectRelayed(RawPeer& from, RawPeer& to, uint16_t nid = 600, const Bytes& value = {4, 2}) {
        from.sendChunk(nid, value);
        Chunk got;
        ASSERT_TRUE(to.readUntil(nid, got));
        EXPECT_EQ(got.payload, value);
    }
    // A real joiner, ten times: each answer (welcome or refusal) must come
    // within 1.5 s; the first one welcomed relays a value of nid. Answers the number of welcomes.
    int joinTenTimes(RawPeer& host, uint16_t nid = 700, const Bytes& value = {4, 2}) {
        int welcomed = 0;
        for (int attempt = 0; attempt < 10; ++attempt) {
            auto start = Clock::now();
            RawPeer joiner = RawPeer::connectTo(port());
            EXPECT_TRUE(joiner.sendChunk(2));
            Chunk answer;
            EXPECT_TRUE(joiner.read(answer, 1500)) << "attempt " << attempt << ": no answer";
            EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500)) << "attempt " << attempt;
            EXPECT_TRUE(answer.nid == 3 || answer.nid == 4) << answer.nid;
            if (answer.nid == 3) {
                if (welcomed++ == 0) expectRelayed(joiner, host, nid, value);
                joiner.sendChunk(6);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return welcomed;
    }

    std::unique_ptr<GameDaemon::GameServer> m_server;
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
    EXPECT_EQ(m_server->getStoredBytes(), 0u);
    EXPECT_FALSE(m_server->isLobbyClosed());
}

TEST_F(GameServerHostileTest, LobbyClosedIsTakenFromTheHostOnly) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    guest.sendChunk(10, {1});
    guest.sendChunk(700, {1});
    Chunk relayed;
    ASSERT_TRUE(host.read(relayed));
    EXPECT_FALSE(m_server->isLobbyClosed());
    host.sendChunk(10, {1, 1});
    host.sendChunk(10, {});
    host.sendChunk(701, {1});
    ASSERT_TRUE(guest.read(relayed));
    EXPECT_FALSE(m_server->isLobbyClosed());
    host.sendChunk(10, {2});
    EXPECT_TRUE(waitUntil([&] { return m_server->isLobbyClosed(); }));
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
    EXPECT_EQ(m_server->getOccupiedSlots(), 2);
    RawPeer next = hello(2, 2);
}

TEST_F(GameServerHostileTest, PeerThatNeverSaysHelloIsClosedAfterTheHelloTimeHoweverItDribbles) {
    RawPeer silent = RawPeer::connectTo(port());
    RawPeer dribbler = RawPeer::connectTo(port());
    RawPeer host = hello(1);
    // A byte every 50 ms, never a whole chunk; the hello time is 300 ms from acceptance.
    Bytes endless = chunk(600, Bytes(1000, 1));
    bool dribblerClosed = false;
    for (size_t i = 0; i < 40 && !dribblerClosed; ++i) {
        dribbler.send({endless[i]});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        dribblerClosed = dribbler.hungUp();
    }
    EXPECT_TRUE(dribblerClosed) << "bytes dribbled in bought time";
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
    EXPECT_TRUE(waitUntil([&] { return m_server->getOccupiedSlots() == 2; }));
}

TEST_F(GameServerHostileTest, IdsOfTwoThousandAndAboveAreDroppedSilently) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    guest.send(nettest::join({chunk(2000, {1}), chunk(65535, {1, 2})}));
    EXPECT_TRUE(host.quiet());
    EXPECT_EQ(m_server->getStoredBytes(), 0u);
    expectRelayed(guest, host);
}

TEST_F(GameServerHostileTest, PlayerStoringPastItsBoundIsDroppedWithWhatItStored) {
    using GameDaemon::GameServer;
    RawPeer host = hello(1);
    RawPeer keeper = hello();
    Bytes big(30000, 7);
    // Its own payload replaced over and over counts once.
    for (int i = 0; i < 60; ++i) keeper.sendChunk(12, big);
    RawPeer hoarder = hello();
    const size_t fitting = GameServer::MAX_PLAYER_STORED_BYTES / big.size();
    for (uint16_t nid = 100; nid < 100 + fitting + 2; ++nid) hoarder.sendChunk(nid, big);
    EXPECT_TRUE(hoarder.closedByPeer());
    Chunk got;
    size_t relayed = 0, kept = 0;
    while ((relayed < fitting || kept < 60) && host.read(got)) (got.nid >= 100 ? relayed : kept) += 1;
    EXPECT_EQ(relayed, fitting);
    EXPECT_TRUE(host.quiet(300)) << "relayed past the bound";
    EXPECT_EQ(m_server->getStoredBytes(), big.size());
    EXPECT_EQ(m_server->getOccupiedSlots(), 2);
    expectRelayed(keeper, host);
}

TEST_F(GameServerHostileTest, PayloadsPastTheStoreBoundAreRelayedButNotReplayed) {
    using GameDaemon::GameServer;
    RawPeer host = hello(1);
    Bytes big(30000, 7);
    const size_t perPlayer = GameServer::MAX_PLAYER_STORED_BYTES / big.size();
    // The host's own small payload, stored before the store fills.
    host.sendChunk(50, {5});
    uint16_t nid = 100;
    std::vector<RawPeer> guests;
    size_t sent = 0, relayed = 0;
    Chunk got;
    while (sent * big.size() <= GameServer::MAX_STORED_BYTES) {
        guests.push_back(hello());
        for (size_t i = 0; i < perPlayer; ++i, ++sent) guests.back().sendChunk(nid++, big);
        while (relayed < sent && host.read(got)) ++relayed;
        for (RawPeer& guest : guests) guest.discardAvailable();
    }
    EXPECT_EQ(relayed, sent) << "a payload past the bound was not relayed";
    const size_t stored = m_server->getStoredBytes();
    EXPECT_LE(stored, GameServer::MAX_STORED_BYTES);
    EXPECT_GT(stored, GameServer::MAX_STORED_BYTES - big.size());
    // Its new payload does not fit: the old one is not replayed in its place.
    host.sendChunk(50, big);
    ASSERT_TRUE(guests.front().readUntil(50, got));
    host.sendChunk(8);
    size_t replayed = 0;
    while (host.read(got) && got.nid != 9) {
        EXPECT_NE(got.nid, 50);
        ++replayed;
    }
    EXPECT_EQ(got.nid, 9);
    EXPECT_EQ(replayed * big.size(), m_server->getStoredBytes());
}

TEST_F(GameServerHostileTest, PeerLeavingInTheMiddleOfAChunkFreesItsSlot) {
    RawPeer host = hello(1);
    {
        RawPeer guest = hello();
        Bytes half = chunk(600, Bytes(100, 1));
        half.resize(50);
        guest.send(half);
    }
    EXPECT_TRUE(waitUntil([&] { return m_server->getOccupiedSlots() == 1; }));
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
    // The slow peer reads nothing; its buffers fill, then its send queue passes
    // its limit (a busy machine may need long to fill them, so the wait is generous).
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::thread flood([&] {
        for (int i = 0; i < 1000 && !stop; ++i) guest.sendChunk(40, big);
        done = true;
    });
    Chunk got;
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(25) && m_server->getOccupiedSlots() == 3)
        host.read(got, 50);
    stop = true;
    while (!done) host.read(got, 50);
    flood.join();
    EXPECT_EQ(m_server->getOccupiedSlots(), 2);
    while (host.read(got, 200)) {
    }
    expectRelayed(guest, host, 41);
}

TEST_F(GameServerHostileTest, FullServerLetsTheOldestSilentConnectionGoButNeverAPlayer) {
    useServer(10000);
    RawPeer host = hello(1);
    std::vector<RawPeer> peers;
    for (size_t i = 0; i < NetServer::MAX_CONNECTIONS + 3; ++i) {
        peers.push_back(RawPeer::connectTo(port()));
        // Each in turn, so that the order of acceptance is known.
        ASSERT_TRUE(waitUntil([&] { return m_server->getConnectionCount() == std::min(i + 2, NetServer::MAX_CONNECTIONS); }));
    }
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(peers[i].closedByPeer()) << i;
    for (size_t i = 4; i < peers.size(); ++i) EXPECT_FALSE(peers[i].hungUp()) << i;
    RawPeer guest = hello();
    expectRelayed(host, guest);
}

TEST_F(GameServerHostileTest, HostHelloIsTakenOnlyFromThisMachine) {
    RawPeer neighbour = RawPeer::connectTo(port(), 0, 3000, "127.0.0.2");
    ASSERT_TRUE(neighbour.isOpen());
    neighbour.sendChunk(1);
    Chunk answer;
    ASSERT_TRUE(neighbour.read(answer));
    EXPECT_EQ(answer.nid, 4);
    EXPECT_TRUE(neighbour.closedByPeer());
    RawPeer host = hello(1, 0);
    RawPeer guest = RawPeer::connectTo(port(), 0, 3000, "127.0.0.2");
    guest.sendChunk(2);
    ASSERT_TRUE(guest.read(answer));
    EXPECT_EQ(answer.nid, 3) << "joining is open to every machine";
    expectRelayed(guest, host);
}

TEST_F(GameServerHostileTest, SlowButSteadyReaderGetsEveryByteInOrder) {
    RawPeer host = hello(1);
    RawPeer guest = hello();
    const int count = 100;
    std::thread sender([&] {
        // Ten ids over and over, so what it stores stays within its bound.
        for (int i = 0; i < count; ++i) guest.sendChunk(static_cast<uint16_t>(100 + i % 10), Bytes(20000, static_cast<uint8_t>(i)));
    });
    Chunk got;
    int next = 0;
    while (next < count && host.read(got)) {
        ASSERT_EQ(got.nid, 100 + next % 10);
        ASSERT_EQ(got.payload, Bytes(20000, static_cast<uint8_t>(next)));
        ++next;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sender.join();
    EXPECT_EQ(next, count);
}

TEST_F(GameServerHostileTest, JoinerIsAnsweredWithinASecondAndAHalfWhileFifteenConnectionsDribble) {
    // Long enough that only giving way, not the hello time, makes room.
    useServer(10000);
    RawPeer host = hello(1);
    Bytes endless = chunk(600, Bytes(30000, 1));
    HostilePeers dribblers(
        static_cast<int>(NetServer::MAX_CONNECTIONS) - 1,
        [&](RawPeer& peer) { peer = RawPeer::connectTo(port()); },
        [&](RawPeer& peer) { peer.send({endless[0]}); });
    ASSERT_TRUE(waitUntil([&] { return m_server->getConnectionCount() == NetServer::MAX_CONNECTIONS; }, 10000));
    EXPECT_EQ(joinTenTimes(host), 10);
    EXPECT_GT(dribblers.letGo(), 0);
    EXPECT_TRUE(host.quiet(50)) << "the host was pushed out";
}

TEST_F(GameServerHostileTest, JoinerIsAnsweredWithinASecondAndAHalfWhileNonReadersAskForAMegabyteTwentyTimes) {
    // The game's own hello time: a joiner on a busy machine may wait for the lock a while.
    useServer(GameDaemon::GameServer::HELLO_TIMEOUT_MS);
    RawPeer host = hello(1);
    RawPeer storer = hello();
    const Bytes value(25000, 9);
    for (uint16_t nid = 100; nid < 140; ++nid) storer.sendChunk(nid, value);
    Chunk got;
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(host.read(got));
    ASSERT_EQ(m_server->getStoredBytes(), 1000000u);
    // Joins and asks for everything stored twenty times, reading nothing: it is given it once.
    Bytes asks = chunk(2);
    for (int i = 0; i < 20; ++i) asks = nettest::join({asks, chunk(8)});
    auto ask = [&](RawPeer& peer) {
        peer = RawPeer::connectTo(port(), 4096);
        peer.send(asks);
    };
    HostilePeers nonReaders(2, ask, [](RawPeer&) {});
    ASSERT_TRUE(waitUntil([&] { return m_server->getOccupiedSlots() == 4; }, 10000));
    EXPECT_EQ(joinTenTimes(host), 10);
    EXPECT_LT(m_server->getPlayersPeakQueued(), m_server->getStoredBytes() + 4096) << "a replay given twice";
    host.sendChunk(600, {4, 2});
    EXPECT_TRUE(storer.readUntil(600, got)) << "the relay stopped";
}

TEST_F(GameServerHostileTest, JoinerIsAnsweredWithinASecondAndAHalfAndValuesKeepPaceWhileGuestsFloodReadiesAndRefusals) {
    using GameDaemon::GameServer;
    // Made before anyone connects: the players send nothing meanwhile, and a silent player is let go.
    Bytes readies, refused;
    const Bytes ready = chunk(8), unknown = chunk(800, {8}), wrongSize = chunk(600, {6, 6});
    for (int i = 0; i < 4096; ++i) readies.insert(readies.end(), ready.begin(), ready.end());
    // Ids of no value and values of the wrong size, twice what the rate lets through.
    for (int i = 0; i < 20000; ++i) {
        refused.insert(refused.end(), wrongSize.begin(), wrongSize.end());
        refused.insert(refused.end(), unknown.begin(), unknown.end());
    }
    // The game's rules and hello time; a hundred values stored, so that each replay is long.
    useServer(GameServer::HELLO_TIMEOUT_MS, std::make_shared<nettest::TestOwners>());
    RawPeer host = hello(1);
    for (uint16_t nid = 100; nid < 200; ++nid) host.sendChunk(nid, {1});
    ASSERT_TRUE(waitUntil([&] { return m_server->getStoredBytes() == 100; }));
    RawPeer player = hello(2, 1);
    player.sendChunk(26, {1, 1, 1, 1});
    // Guests that send a record of their own, so that they keep their slots, then flood every 100 ms.
    auto guest = [&](const Bytes& flood) {
        return [&, flood](RawPeer& peer) {
            peer = RawPeer::connectTo(port());
            peer.sendChunk(2);
            Chunk welcome;
            if (peer.readUntil(3, welcome) && welcome.payload.size() == 1)
                peer.send(nettest::join({chunk(uint16_t(25 + welcome.payload[0]), {0, 0, 0, 0}), flood}));
        };
    };
    auto again = [](const Bytes& flood) {
        return [flood](RawPeer& peer) {
            peer.discardAvailable();
            peer.send(flood);
        };
    };
    HostilePeers readiers(1, guest(readies), again(readies));
    HostilePeers refusers(1, guest(refused), again(refused));
    ASSERT_TRUE(waitUntil([&] { return m_server->getOccupiedSlots() == 4; }, 10000));

    // The host's values every 10 ms while a joiner comes ten times.
    std::atomic<bool> joined{false};
    std::vector<Clock::time_point> sentAt(100000);
    std::atomic<int> sent{0};
    std::thread values([&] {
        for (int i = 0; i < int(sentAt.size()) && !joined; ++i) {
            sentAt[i] = Clock::now();
            host.sendChunk(uint16_t(300 + i % 100), {uint8_t(i)});
            sent = i + 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    int received = 0;
    Clock::duration slowest{};
    std::thread reader([&] {
        Chunk value;
        while ((!joined || received < sent) && player.read(value)) {
            if (value.nid < 300 || value.nid >= 400) continue;
            EXPECT_EQ(value.nid, 300 + received % 100);
            EXPECT_EQ(value.payload, Bytes{uint8_t(received)});
            slowest = std::max(slowest, Clock::now() - sentAt[received]);
            ++received;
        }
    });
    EXPECT_EQ(joinTenTimes(host, 600, {4}), 10);
    joined = true;
    values.join();
    reader.join();
    EXPECT_EQ(received, sent.load()) << "values were lost";
    EXPECT_LT(slowest, std::chrono::milliseconds(1500)) << "values fell behind";
    EXPECT_EQ(readiers.letGo() + refusers.letGo(), 0) << "a flood is dropped, not its sender";
}
