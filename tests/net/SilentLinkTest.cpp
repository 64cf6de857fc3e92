#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "engine/platform/Report.h"
#include "net/GameServer.h"
#include "net/NetControl.h"
#include "NetTestSupport.h"
#include "tests/support/StallingRelay.h"

using nettest::waitUntil;

namespace {

// Short, so that the test is; the game's own is many seconds.
constexpr uint32_t LIMIT_MS = 2500;

// The log of the test's length in a file of its own, read back at the end.
class LogFile {
public:
    LogFile() : m_path("/tmp/plimzor-silence-" + std::to_string(getpid()) + ".txt") {
        g_logStream.close();
        g_logStream.open(m_path, std::ios::out | std::ios::trunc);
    }
    ~LogFile() { std::remove(m_path.c_str()); }
    // Only once every thread that logs has ended.
    std::string close() {
        g_logStream.close();
        g_logStream.open("/dev/null", std::ios::out | std::ios::app);
        std::ifstream log(m_path);
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
    }

private:
    std::string m_path;
};

} // namespace

TEST(SilentLink, AnIdleLinkLivesOnAndOneThatGoesSilentEndsOnEverySideWithinTheLimit) {
    LogFile log;
    GameDaemon::GameServer server(0);
    server.setSilenceLimit(LIMIT_MS);
    ASSERT_TRUE(server.start());
    // The guest comes through a relay, as through a router between two machines.
    StallingRelay relay(server.getBoundPort());
    NetControl host, guest;
    host.setPort(server.getBoundPort());
    guest.setPort(relay.port());
    host.setSilenceLimit(LIMIT_MS);
    guest.setSilenceLimit(LIMIT_MS);
    ASSERT_TRUE(host.connect("localhost", true));
    ASSERT_TRUE(guest.connect("127.0.0.1", false));
    host.sendLobbyClosed(true);
    ASSERT_TRUE(waitUntil([&] { return server.isLobbyClosed(); }));

    // No frame runs and no value changes: the signs of life alone keep everybody.
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * LIMIT_MS));
    EXPECT_TRUE(host.isConnected());
    EXPECT_TRUE(guest.isConnected());
    EXPECT_EQ(server.getOccupiedSlots(), 2);

    // The line between them dies without a word: nothing more passes, nothing is closed.
    relay.stall();
    EXPECT_TRUE(waitUntil([&] { return !guest.isConnected(); }, 20 * LIMIT_MS)) << "the guest never noticed";
    EXPECT_EQ(guest.getStatus(), NetControl::STATUS_LOST);
    // The race was on: the lobby lets the guest go and tells the host that a player left, which ends its game.
    EXPECT_TRUE(waitUntil([&] { return !host.isConnected(); }, 20 * LIMIT_MS)) << "the guest keeps its slot";
    EXPECT_EQ(host.getStatus(), NetControl::STATUS_ENDED);
    EXPECT_TRUE(waitUntil([&] { return server.getOccupiedSlots() == 0; }));
    EXPECT_EQ(relay.carried(), 1);

    host.disconnect();
    guest.disconnect();
    server.stop();
    const std::string text = log.close();
    EXPECT_NE(text.find("nothing from the lobby for 2.5 s; connection lost\n"), std::string::npos) << text;
    EXPECT_NE(text.find("player at 127.0.0.1 silent for 2.5 s; let go\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("value not present"), std::string::npos) << text;
}
