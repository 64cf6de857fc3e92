#include <gtest/gtest.h>

#include <dirent.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "engine/platform/Report.h"
#include "net/GameServer.h"
#include "net/NetClient.h"
#include "net/NetServer.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::RawListener;
using nettest::RawPeer;
using nettest::waitUntil;

namespace {

class CountingClient : public NetClient {
public:
    ~CountingClient() override { closeConnection(); }
    int32_t onReceive(const uint8_t* data, int32_t length) override {
        std::lock_guard<std::mutex> guard(m_lock);
        m_blocks.push_back(length);
        m_bytes.insert(m_bytes.end(), data, data + length);
        return length;
    }
    void onDisconnect() override { ++m_disconnects; }
    void onConnect() override { ++m_connects; }
    bool send(const Bytes& bytes) { return sendBytes(bytes.data(), bytes.size()); }
    void count(uint64_t received, uint64_t sent) {
        countReceived(received);
        countSent(sent);
    }
    size_t bytes() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_bytes.size();
    }

    std::mutex m_lock;
    std::vector<int32_t> m_blocks;
    Bytes m_bytes;
    std::atomic<int> m_disconnects{0};
    std::atomic<int> m_connects{0};
};

int openDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir)) ++count;
    closedir(dir);
    return count;
}

} // namespace

TEST(NetClient, PeerClosingRunsOnDisconnectOnceAndClearsConnected) {
    RawListener listener;
    CountingClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", listener.port(), NetClient::FLAG_RECEIVE_THREAD | NetClient::FLAG_NO_DELAY));
    EXPECT_TRUE(client.isConnected());
    EXPECT_EQ(client.m_connects, 1);
    RawPeer server = listener.accept();
    server.close();
    ASSERT_TRUE(waitUntil([&] { return !client.isConnected(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(client.m_disconnects, 1);
}

TEST(NetClient, LargeBlockArrivesWholeOverSeveralReceives) {
    RawListener listener;
    CountingClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", listener.port(), NetClient::FLAG_RECEIVE_THREAD));
    RawPeer server = listener.accept();
    Bytes block(10000);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    server.send(block);
    ASSERT_TRUE(waitUntil([&] { return client.bytes() == block.size(); }));
    std::lock_guard<std::mutex> guard(client.m_lock);
    EXPECT_EQ(client.m_bytes, block);
    EXPECT_GE(client.m_blocks.size(), 3u);
    for (int32_t length : client.m_blocks) EXPECT_LE(length, 4096);
    EXPECT_EQ(client.getTotalBytesReceived(), block.size());
}

TEST(NetClient, ShortCountersWrapAtThirtyTwoBitsAndTotalsDoNot) {
    CountingClient client;
    client.count(0xFFFFFFF0u, 0x20);
    EXPECT_EQ(client.getBytes(), 0x10u);
    EXPECT_EQ(client.getTotalBytes(), 0x100000010ull);
    client.count(0x20, 0);
    EXPECT_EQ(client.getBytesReceived(), 0x10u);
    EXPECT_EQ(client.getTotalBytesReceived(), 0x100000010ull);
}

TEST(NetClient, FailedConnectLeavesNoSocketOpen) {
    uint16_t port = 0;
    {
        RawListener gone;
        port = gone.port();
    }
    CountingClient client;
    int before = openDescriptors();
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(client.connect("127.0.0.1", port, NetClient::FLAG_RECEIVE_THREAD));
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(client.m_disconnects, 0);
}

TEST(NetClient, ConnectsAgainAfterItsConnectionEnded) {
    RawListener listener;
    CountingClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", listener.port(), NetClient::FLAG_RECEIVE_THREAD));
    RawPeer first = listener.accept();
    first.close();
    ASSERT_TRUE(waitUntil([&] { return !client.isConnected(); }));
    ASSERT_TRUE(client.connect("localhost", listener.port(), NetClient::FLAG_RECEIVE_THREAD));
    RawPeer second = listener.accept();
    EXPECT_TRUE(client.send({1, 2, 3}));
    EXPECT_EQ(client.getTotalBytesSent(), 3u);
    EXPECT_EQ(client.m_connects, 2);
}

TEST(NetClient, SendToAClosedPeerFailsWithoutSignal) {
    RawListener listener;
    CountingClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", listener.port(), 0));
    listener.accept().close();
    Bytes block(65536, 1);
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i) failed = !client.send(block);
    EXPECT_TRUE(failed);
}

TEST(NetServer, ListensOnAnEphemeralPortAndRebindsItAtOnceAfterAStop) {
    uint16_t port = 0;
    {
        GameDaemon::GameServer first(0);
        ASSERT_TRUE(first.start());
        port = first.getBoundPort();
        ASSERT_NE(port, 0);
        RawPeer peer = RawPeer::connectTo(port);
        ASSERT_TRUE(waitUntil([&] { return first.getConnectionCount() == 1; }));
        first.stop();
    }
    // The server closed first, so its side of that connection sits in TIME_WAIT.
    GameDaemon::GameServer second(port);
    EXPECT_TRUE(second.start());
    EXPECT_EQ(second.getBoundPort(), port);
}

TEST(NetServer, PortTakenIsRetriedCalmlyUntilItFreesAndLoggedOnce) {
    const std::string path = "/tmp/plimzor-listenlog-" + std::to_string(getpid()) + ".txt";
    g_logStream.close();
    g_logStream.open(path, std::ios::out | std::ios::trunc);
    auto first = std::make_unique<GameDaemon::GameServer>(0);
    ASSERT_TRUE(first->start());
    uint16_t port = first->getBoundPort();
    auto second = std::make_unique<GameDaemon::GameServer>(port);
    EXPECT_FALSE(second->start());
    clock_t cpuBefore = clock();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(static_cast<double>(clock() - cpuBefore) / CLOCKS_PER_SEC, 0.1) << "the accept thread spins";
    first->stop();
    first.reset();
    ASSERT_TRUE(waitUntil([&] { return second->getBoundPort() == port; }, 3000));
    RawPeer peer = RawPeer::connectTo(port);
    EXPECT_TRUE(waitUntil([&] { return second->getConnectionCount() == 1; }));
    // Its threads log too: they have ended before the log is swapped back.
    second.reset();
    g_logStream.close();
    g_logStream.open("/dev/null", std::ios::out | std::ios::app);
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    std::remove(path.c_str());
    const std::string taken = "cannot listen on port " + std::to_string(port) + ": Address already in use\n";
    const size_t said = text.str().find(taken);
    EXPECT_NE(said, std::string::npos) << text.str();
    EXPECT_EQ(text.str().find(taken, said + 1), std::string::npos) << "said once, not at every retry";
    EXPECT_NE(text.str().find("got connection from 127.0.0.1\n"), std::string::npos) << text.str();
}

TEST(NetServer, StartAndStopThroughTheDaemonCallsJoinEverything) {
    std::unique_ptr<GameDaemon::GameServer> daemon = GameDaemon::startGameDaemon(0);
    ASSERT_TRUE(daemon);
    EXPECT_TRUE(daemon->isRunning());
    RawPeer peer = RawPeer::connectTo(daemon->getBoundPort());
    ASSERT_TRUE(waitUntil([&] { return daemon->getConnectionCount() == 1; }));
    GameDaemon::stopGameDaemon(daemon);
    EXPECT_FALSE(daemon);
    EXPECT_TRUE(peer.closedByPeer());
}
