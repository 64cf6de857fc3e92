#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <random>

#include "net/GameServer.h"
#include "net/NetControl.h"
#include "net/NetValue.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::chunk;
using nettest::Chunk;
using nettest::RawListener;
using nettest::RawPeer;
using nettest::waitUntil;

namespace {

constexpr uint16_t WATCHED_NID = 500;

// Bytes a broken or hostile peer might send: noise, or chunks with any id and
// any length, now and then cut short or given a lying length field.
Bytes randomStream(std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes out;
    int chunks = 1 + random() % 20;
    for (int i = 0; i < chunks; ++i) {
        switch (kind(random)) {
        case 0: {
            int n = 1 + random() % 64;
            for (int k = 0; k < n; ++k) out.push_back(static_cast<uint8_t>(byte(random)));
            break;
        }
        case 1: {
            uint16_t length = static_cast<uint16_t>(random() % 4);
            out.insert(out.end(), {static_cast<uint8_t>(length), 0, 12, 0});
            break;
        }
        case 2: {
            uint16_t length = static_cast<uint16_t>(32000 + random() % 33536);
            out.insert(out.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), 1, 0});
            break;
        }
        default: {
            uint16_t nid = static_cast<uint16_t>(random() % 2100);
            if (nid == WATCHED_NID) nid = 12;
            Bytes payload(random() % (kind(random) == 5 ? 3000 : 8));
            for (uint8_t& b : payload) b = static_cast<uint8_t>(byte(random));
            Bytes c = chunk(nid, payload);
            if (random() % 8 == 0) c.resize(c.size() / 2);
            out.insert(out.end(), c.begin(), c.end());
            break;
        }
        }
    }
    return out;
}

bool within(std::chrono::steady_clock::time_point end) { return std::chrono::steady_clock::now() < end; }

} // namespace

TEST(NetFuzz, ServerSurvivesRandomStreamsAndStillRelaysWellFormedTraffic) {
    GameDaemon::GameServer server(0, 200);
    ASSERT_TRUE(server.start());
    uint16_t port = server.getBoundPort();
    NetControl host;
    NetControl guest;
    NetValue<int> sent(host);
    NetValue<int> seen(guest);
    sent.init(WATCHED_NID, 0);
    seen.init(WATCHED_NID, 0);
    seen.setFlags(NetValueBase::FLAG_RECEIVE);
    host.setPort(port);
    guest.setPort(port);
    ASSERT_TRUE(host.connect("localhost", true));
    ASSERT_TRUE(guest.connect("127.0.0.1", false));

    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::atomic<int> streams{0};
    std::vector<std::thread> attackers;
    for (int a = 0; a < 4; ++a) {
        attackers.emplace_back([&, a] {
            std::mt19937 random(1234 + a);
            while (within(end)) {
                RawPeer peer = RawPeer::connectTo(port);
                if (random() % 2) peer.sendChunk(random() % 2 ? 2 : 1);
                for (int i = 0; i < 20 && within(end) && peer.send(randomStream(random)); ++i) ++streams;
                if (random() % 3 == 0) peer.quiet(5);
            }
        });
    }
    int value = 0;
    while (within(end)) {
        sent = ++value;
        host.sendChangedValues();
        guest.sendChangedValues();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (std::thread& attacker : attackers) attacker.join();

    EXPECT_GT(streams, 100);
    EXPECT_TRUE(host.isConnected());
    EXPECT_TRUE(guest.isConnected());
    EXPECT_TRUE(waitUntil([&] {
        guest.sendChangedValues();
        return seen.get() == value;
    }, 10000));
    EXPECT_LE(server.getStoredBytes(), GameDaemon::GameServer::MAX_STORED_BYTES);
    EXPECT_LE(server.getConnectionCount(), NetServer::MAX_CONNECTIONS);
    host.disconnect();
    guest.disconnect();
    server.stop();
}

TEST(NetFuzz, ClientSurvivesRandomStreamsAndTakesWellFormedTrafficAfterwards) {
    RawListener listener;
    NetControl client;
    NetValue<int> watched(client);
    NetValue<bool> flag(client);
    watched.init(WATCHED_NID, 0);
    flag.init(13, false);
    client.setPort(listener.port());
    std::mt19937 random(99);
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int rounds = 0;
    while (within(end)) {
        auto done = std::async(std::launch::async, [&] { return client.connect("127.0.0.1", false); });
        RawPeer server = listener.accept();
        Chunk hello;
        ASSERT_TRUE(server.read(hello));
        server.sendChunk(3, {static_cast<uint8_t>(random() % 5)});
        ASSERT_TRUE(done.get());
        for (int i = 0; i < 10 && client.isConnected(); ++i) {
            server.send(randomStream(random));
            client.sendChangedValues();
        }
        client.disconnect();
        ++rounds;
    }
    EXPECT_GT(rounds, 5);

    // A clean connection afterwards carries values as ever.
    auto done = std::async(std::launch::async, [&] { return client.connect("127.0.0.1", false); });
    RawPeer server = listener.accept();
    Chunk hello;
    ASSERT_TRUE(server.read(hello));
    server.sendChunk(3, {2});
    ASSERT_TRUE(done.get());
    server.send(nettest::join({chunk(WATCHED_NID, nettest::u32(4711)), chunk(9)}));
    ASSERT_TRUE(waitUntil([&] { return client.isStarted(); }));
    client.sendChangedValues();
    EXPECT_EQ(watched.get(), 4711);
    EXPECT_EQ(client.getPlayerSlot(), 2);
    client.disconnect();
}
