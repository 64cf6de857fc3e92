#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <sstream>

#include "engine/platform/Report.h"
#include "net/NetControl.h"
#include "net/NetValue.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::chunk;
using nettest::Chunk;
using nettest::RawListener;
using nettest::RawPeer;

namespace {

// The client connects to a test-side server that answers as the script says.
class NetControlTest : public ::testing::Test {
protected:
    NetControlTest() { m_client.setPort(m_listener.port()); }

    void TearDown() override {
        m_client.disconnect();
        g_reportLevel = 0;
        g_reportToLog = false;
    }

    // Connects with the test accepting and answering the hello with a welcome.
    void connectWelcomed(uint8_t slot = 1) {
        auto done = std::async(std::launch::async, [&] { return m_client.connect("127.0.0.1", false); });
        m_server = m_listener.accept();
        Chunk hello;
        ASSERT_TRUE(m_server.read(hello));
        ASSERT_EQ(hello.nid, 2);
        m_server.sendChunk(3, {slot});
        ASSERT_TRUE(done.get());
    }

    RawListener m_listener;
    RawPeer m_server;
    NetControl m_client;
};

} // namespace

TEST_F(NetControlTest, HostSaysHelloOneAndTakesTheWelcomeSplitInsideTheHeader) {
    auto done = std::async(std::launch::async, [&] { return m_client.connect("localhost", true); });
    m_server = m_listener.accept();
    Chunk hello;
    ASSERT_TRUE(m_server.read(hello));
    EXPECT_EQ(hello.nid, 1);
    EXPECT_TRUE(hello.payload.empty());
    Bytes welcome = chunk(3, {0});
    m_server.send(Bytes(welcome.begin(), welcome.begin() + 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(m_client.isWelcomed());
    m_server.send(Bytes(welcome.begin() + 1, welcome.end()));
    EXPECT_TRUE(done.get());
    EXPECT_EQ(m_client.getPlayerSlot(), 0);
    EXPECT_TRUE(m_client.isConnected());
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_LOST);
}

TEST_F(NetControlTest, RefusalEndsTheConnectAtOnceWithStatusOne) {
    auto start = std::chrono::steady_clock::now();
    auto done = std::async(std::launch::async, [&] { return m_client.connect("127.0.0.1", false); });
    m_server = m_listener.accept();
    Chunk hello;
    ASSERT_TRUE(m_server.read(hello));
    m_server.sendChunk(4);
    EXPECT_FALSE(done.get());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_REFUSED);
    EXPECT_TRUE(m_client.isRefused());
}

TEST_F(NetControlTest, ServerClosingDuringTheWaitGivesStatusZero) {
    auto done = std::async(std::launch::async, [&] { return m_client.connect("127.0.0.1", false); });
    m_server = m_listener.accept();
    Chunk hello;
    ASSERT_TRUE(m_server.read(hello));
    m_server.close();
    EXPECT_FALSE(done.get());
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_LOST);
}

TEST_F(NetControlTest, NoWelcomeWithinFiveSecondsSendsLeaveAndFindsNoLobby) {
    auto start = std::chrono::steady_clock::now();
    auto done = std::async(std::launch::async, [&] { return m_client.connect("127.0.0.1", false); });
    m_server = m_listener.accept();
    EXPECT_FALSE(done.get());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4900));
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_NO_LOBBY);
    Chunk leave;
    EXPECT_TRUE(m_server.readUntil(6, leave));
}

TEST_F(NetControlTest, NoServerGivesStatusSixAtOnce) {
    uint16_t port = 0;
    {
        RawListener gone;
        port = gone.port();
    }
    m_client.setPort(port);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_client.connect("127.0.0.1", false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "a refusal needs no waiting";
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_CONNECT_FAILED);
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_client.connect("no-such-host.invalid", false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_CONNECT_FAILED);
}

TEST_F(NetControlTest, UnansweredConnectGivesUpAfterFiveSecondsWithStatusSix) {
    nettest::FullListener unanswering;
    m_client.setPort(unanswering.port());
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_client.connect("localhost", false));
    auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, std::chrono::milliseconds(4500)) << "the connect was answered, the queue was not full";
    EXPECT_LT(spent, std::chrono::seconds(6));
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_CONNECT_FAILED);
    EXPECT_FALSE(m_client.isConnected());
}

TEST_F(NetControlTest, WelcomeWithASlotAboveFourIsNoWelcome) {
    auto done = std::async(std::launch::async, [&] { return m_client.connect("127.0.0.1", false); });
    m_server = m_listener.accept();
    Chunk hello;
    ASSERT_TRUE(m_server.read(hello));
    m_server.sendChunk(3, {5});
    m_server.sendChunk(3, {});
    m_server.sendChunk(3, {2, 2});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(m_client.isWelcomed());
    m_server.sendChunk(3, {4});
    EXPECT_TRUE(done.get());
    EXPECT_EQ(m_client.getPlayerSlot(), 4);
}

TEST_F(NetControlTest, ChangedValuesAreSentOnceAndOnlyWithSendFlagAndNid) {
    NetValue<int> sent(m_client);
    NetValue<int> receiveOnly(m_client);
    NetValue<int> noNid(m_client);
    sent.init(200, 0);
    receiveOnly.init(201, 0);
    receiveOnly.setFlags(NetValueBase::FLAG_RECEIVE);
    sent = 0x01020304;
    receiveOnly = 5;
    noNid = 6;
    m_client.sendChangedValues();
    EXPECT_TRUE(sent.isChanged()) << "not connected: the marks stay";
    connectWelcomed();
    m_client.sendChangedValues();
    EXPECT_FALSE(sent.isChanged());
    EXPECT_FALSE(noNid.isChanged());
    Chunk value;
    ASSERT_TRUE(m_server.read(value));
    EXPECT_EQ(value.nid, 200);
    EXPECT_EQ(value.payload, (Bytes{4, 3, 2, 1}));
    m_client.sendChangedValues();
    EXPECT_TRUE(m_server.quiet());
}

TEST_F(NetControlTest, ReceivedValueTakesEffectAtTheNextFrame) {
    NetValue<float> speed(m_client);
    speed.init(300, 1.0f);
    connectWelcomed();
    float arrived = 7.5f;
    Bytes payload(reinterpret_cast<uint8_t*>(&arrived), reinterpret_cast<uint8_t*>(&arrived) + 4);
    m_server.send(nettest::join({chunk(300, payload), chunk(9)}));
    ASSERT_TRUE(nettest::waitUntil([&] { return m_client.isStarted(); }));
    EXPECT_EQ(speed.get(), 1.0f);
    m_client.sendChangedValues();
    EXPECT_EQ(speed.get(), 7.5f);
    EXPECT_TRUE(m_server.quiet()) << "a received value is not sent back";
}

TEST_F(NetControlTest, ValueChunkOfTheWrongSizeIsDropped) {
    NetValue<int> lap(m_client);
    lap.init(400, 1);
    connectWelcomed();
    m_server.send(nettest::join({chunk(400, {9, 9}), chunk(400, {1, 2, 3, 4, 5}), chunk(9)}));
    ASSERT_TRUE(nettest::waitUntil([&] { return m_client.isStarted(); }));
    m_client.sendChangedValues();
    EXPECT_EQ(lap.get(), 1);
    EXPECT_TRUE(m_client.isConnected());
}

TEST_F(NetControlTest, UnknownValueIdIsLoggedAndTheNextChunkIsRead) {
    std::ostringstream path;
    path << "/tmp/plimzor-netlog-" << getpid() << ".txt";
    g_logStream.close();
    g_logStream.open(path.str(), std::ios::out | std::ios::trunc);
    g_logLevel = LOG_TRAFFIC;
    connectWelcomed();
    m_server.send(nettest::join({chunk(1234, {1, 2, 3}), chunk(11, nettest::u32(77))}));
    ASSERT_TRUE(nettest::waitUntil([&] { return m_client.getBarrierValue() == 77; }));
    // The receive thread logs too: it has ended before the log is swapped back.
    m_client.disconnect();
    g_logLevel = LOG_PROGRESS;
    g_logStream.close();
    g_logStream.open("/dev/null", std::ios::out | std::ios::app);
    std::ifstream log(path.str());
    std::stringstream text;
    text << log.rdbuf();
    std::remove(path.str().c_str());
    EXPECT_NE(text.str().find("value not present: 1234\n"), std::string::npos);
    EXPECT_NE(text.str().find("writenid: 2 size: 4\n"), std::string::npos);
    EXPECT_NE(text.str().find("readnid: 11 size: 8\n"), std::string::npos);
}

TEST_F(NetControlTest, LeaveFromTheServerEndsTheConnectionWithStatusThreeOrFour) {
    connectWelcomed();
    m_server.sendChunk(6, {0});
    ASSERT_TRUE(nettest::waitUntil([&] { return !m_client.isConnected(); }));
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_ENDED_BY_HOST);
    EXPECT_TRUE(m_server.closedByPeer());

    connectWelcomed();
    m_server.sendChunk(6, {3});
    ASSERT_TRUE(nettest::waitUntil([&] { return !m_client.isConnected(); }));
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_ENDED);
}

TEST_F(NetControlTest, DisconnectSendsLeaveAndGivesStatusFive) {
    connectWelcomed();
    m_client.disconnect();
    EXPECT_EQ(m_client.getStatus(), NetControl::STATUS_LEFT);
    EXPECT_FALSE(m_client.isConnected());
    Chunk leave;
    ASSERT_TRUE(m_server.read(leave));
    EXPECT_EQ(leave.nid, 6);
    EXPECT_TRUE(m_server.closedByPeer());
}

TEST_F(NetControlTest, ChunkLengthOutsideTheLimitsClosesTheConnection) {
    for (uint16_t length : {0, 2, 32000, 40000}) {
        connectWelcomed();
        m_server.send({static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), 20, 0});
        EXPECT_TRUE(nettest::waitUntil([&] { return !m_client.isConnected(); })) << length;
        EXPECT_TRUE(m_server.closedByPeer()) << length;
    }
}

TEST_F(NetControlTest, ControlPayloadsOfTheWrongLengthAreDropped) {
    connectWelcomed();
    m_server.send(nettest::join({chunk(6, {}), chunk(6, {1, 1}), chunk(11, {1, 2}), chunk(2500, {1}), chunk(9)}));
    ASSERT_TRUE(nettest::waitUntil([&] { return m_client.isStarted(); }));
    EXPECT_TRUE(m_client.isConnected());
    EXPECT_EQ(m_client.getBarrierValue(), 0u);
}

TEST_F(NetControlTest, LobbyClosedCarriesOneByte) {
    connectWelcomed();
    m_client.sendLobbyClosed(true);
    m_client.sendLobbyClosed(false);
    Chunk closed, open;
    ASSERT_TRUE(m_server.read(closed));
    ASSERT_TRUE(m_server.read(open));
    EXPECT_EQ(closed.nid, 10);
    EXPECT_EQ(closed.payload, Bytes{1});
    EXPECT_EQ(open.payload, Bytes{0});
}

TEST_F(NetControlTest, CallerBuiltChunkGoesOutWhole) {
    connectWelcomed();
    m_client.lock();
    m_client.beginChunk(8);
    m_client.writeShort(0x0102);
    m_client.writeByte(3);
    EXPECT_TRUE(m_client.sendChunk());
    m_client.unlock();
    Chunk ready;
    ASSERT_TRUE(m_server.read(ready));
    EXPECT_EQ(ready.nid, 8);
    EXPECT_EQ(ready.payload, (Bytes{2, 1, 3}));
    EXPECT_EQ(m_client.getTotalBytesSent(), 4u + 7u);
}
