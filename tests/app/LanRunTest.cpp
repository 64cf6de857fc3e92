#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "app/menu/MultiplayerSelectScreen.h"
#include "engine/platform/LogStream.h"
#include "game/records/Config.h"
#include "net/ChunkWriter.h"
#include "net/NetProtocol.h"
#include "sys/net/Socket.h"
#include "sys/thread/Ticker.h"
#include "tests/app/ChildProcess.h"
#include "tests/app/MinimapDriver.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/StallingRelay.h"
#include "tools/demodata/tracks/DemoTracks.h"

using namespace std::chrono_literals;

namespace {

// A widget's rectangle on the 1024 x 768 screen.
struct Rect {
    int x, y, width, height;
    int middleX() const { return x + width / 2; }
    int middleY() const { return y + height / 2; }
};

constexpr Rect LAN_BUTTON{674, 621, 90, 90};
// The host-or-join screen.
constexpr Rect JOIN_RADIO{275, 285, 45, 45};
constexpr Rect SELECT_OK{885, 628, 120, 120};
constexpr Rect ADDRESS_BOX{330, 410, 366, 50};
// The lobby's OK, which says ready.
constexpr Rect LOBBY_OK{885, 629, 120, 120};
// The arrow below the own moped's colour.
constexpr Rect COLOUR_DOWN{463, 227, 45, 45};
// The lobby replaces nearly the whole host-or-join screen; the notice that it
// is connecting, which a loaded machine shows first, covers a quarter of it.
constexpr double LOBBY_CHANGE = 0.5;
// The players' table, one row a slot.
constexpr Rect PLAYERS{170, 550, 690, 165};
// The race's connection-lost window and its OK.
constexpr Rect CONNECTION_LOST{262, 184, 500, 400};
constexpr Rect CONNECTION_LOST_OK{262 + 180, 184 + 310, 140, 60};
// The one view's mini map.
constexpr Rect MINIMAP{655, 399, 361, 361};
// The lobby's left arrow beside the mode: a single race, of the lobby's one lap.
constexpr Rect MODE_LEFT{491, 440, 90, 90};
constexpr Rect MODE_TEXT{599, 462, 234, 47};
// The share of the lobby's OK button that its enabling changes at the least.
constexpr double OK_ENABLED = 0.2;
// The menus' message window and its OK.
constexpr Rect MESSAGE{256, 192, 512, 384};
constexpr Rect MESSAGE_OK{256 + 176, 192 + 314, 160, 50};
// The rows of a single race's result window: places, names and times.
constexpr Rect RESULT_ROWS{215, 180, 650, 280};

// A lobby starts as a championship, which begins on the first track.
constexpr int TRACK = 0;
constexpr auto DRIVE = 4s;
// A host that said ready waits this long, steering, before the joiner says ready too.
constexpr auto HOST_WAITS = 8s;
// Far beyond the time after which a copy takes a silent one for gone, for a busy machine.
constexpr auto SILENCE_TOLD = 90s;
// A host's race once stood still this long after the start (the race clock stopped at 00:08.61).
constexpr auto RIDERS_STOPPED_ONCE = 10s;

// Metres along the road.
constexpr double RIDDEN = 15.0;
// Map pixels: dots are 12 across. A dot's middle shows its own colour unless
// a dot drawn later covers it.
constexpr double DOT_RADIUS = 7.0;
constexpr int DOT_PIXELS = 25;
constexpr double MIDDLE_RADIUS = 3.0;
constexpr int MIDDLE_PIXELS = 20;
// The computer riders start with the players. Once no red dot but the host's
// lies this near the host's start on the joiner's map, they have ridden off
// farther than the host rides, so that a dot where it rides to can only be the host.
constexpr double START_CLEAR = 120.0;
// Computer riders pass over the players' dots: the maps are looked at a few times.
constexpr int LOOKS = 100;
// The share of a picture's pixels in which a still scene may differ between two grabs.
constexpr double STANDING = 0.02;

bool isRedDot(const uint8_t* rgb) { return rgb[0] > 140 && rgb[1] < 90 && rgb[2] < 90; }

struct Spot {
    double x = 0.0, y = 0.0;
    bool seen = false;
};

using Picture = ProgramSeat::Picture;
using Colour = std::function<bool(const uint8_t*)>;

void forEachPixel(const Picture& picture, const std::function<void(int, int, const uint8_t*)>& visit) {
    for (uint32_t row = 0; row < picture.height; ++row)
        for (uint32_t column = 0; column < picture.width; ++column)
            visit(int(column), int(row), &picture.rgb[(size_t(row) * picture.width + column) * 3]);
}

// The middle of all pixels of that colour, when there are a dot's worth.
Spot centreOf(const Picture& map, const Colour& colour) {
    double sumX = 0.0, sumY = 0.0;
    int count = 0;
    forEachPixel(map, [&](int x, int y, const uint8_t* rgb) {
        if (!colour(rgb)) return;
        sumX += x + 0.5;
        sumY += y + 0.5;
        ++count;
    });
    if (count < DOT_PIXELS) return {};
    return {sumX / count, sumY / count, true};
}

int pixelsNear(const Picture& map, const Colour& colour, Spot spot, double radius) {
    int count = 0;
    forEachPixel(map, [&](int x, int y, const uint8_t* rgb) {
        count += colour(rgb) && std::hypot(x + 0.5 - spot.x, y + 0.5 - spot.y) <= radius;
    });
    return count;
}

bool middleAt(const Picture& map, const Colour& colour, Spot spot) {
    return spot.seen && pixelsNear(map, colour, spot, MIDDLE_RADIUS) >= MIDDLE_PIXELS;
}

// No red dot on the joiner's map near the host's start but the host's own.
bool computersGone(const Picture& joinerMap, Spot hostStart) {
    int near = 0;
    forEachPixel(joinerMap, [&](int x, int y, const uint8_t* rgb) {
        const double away = std::hypot(x + 0.5 - hostStart.x, y + 0.5 - hostStart.y);
        near += isRedDot(rgb) && away > DOT_RADIUS && away < START_CLEAR;
    });
    return near < DOT_PIXELS / 2;
}

size_t occurrences(const std::string& text, const std::string& line) {
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + line.size())) ++count;
    return count;
}

// A port no one listens on now: the host's lobby server takes it.
uint16_t freePort() {
    const int socket = sys::createTcpSocket();
    uint16_t port = 0;
    if (sys::bindAnyAddress(socket, 0)) port = sys::boundPort(socket);
    sys::closeSocket(socket);
    return port;
}

// A computer of the game's LAN that the test itself speaks for, chunk by chunk.
class LobbyPeer {
public:
    explicit LobbyPeer(uint16_t port) : m_socket(sys::createTcpSocket()) {
        uint32_t address = 0;
        if (!sys::resolveHost("127.0.0.1", address, 2000) || !sys::connectSocket(m_socket, address, port, 2000)) close();
    }
    ~LobbyPeer() { close(); }
    LobbyPeer(const LobbyPeer&) = delete;
    LobbyPeer& operator=(const LobbyPeer&) = delete;

    bool send(uint16_t nid, const std::vector<uint8_t>& payload = {}) {
        ChunkWriter writer;
        writer.begin(nid);
        writer.writeBytes(payload.data(), uint32_t(payload.size()));
        size_t sent = 0;
        std::lock_guard<std::mutex> guard(m_sending);
        return m_socket >= 0 && writer.finish() && sys::sendSocket(m_socket, writer.data(), writer.size(), sent);
    }
    // The slot of the lobby's welcome to a hello of that kind; -1 without one.
    int hello(uint16_t nid) {
        uint8_t welcome[5];
        size_t have = 0, got = 0;
        sys::setReceiveTimeout(m_socket, 5000);
        if (!send(nid)) return -1;
        while (have < sizeof welcome &&
               sys::receiveSocket(m_socket, welcome + have, sizeof welcome - have, got) == sys::ReceiveResult::DATA)
            have += got;
        if (have != sizeof welcome || welcome[2] != NetProtocol::CHUNK_WELCOME) return -1;
        // As a game's client does, or the lobby takes it for gone.
        m_signsOfLife.start(1s, [this] { send(NetProtocol::CHUNK_IGNORED, {0}); });
        return welcome[4];
    }
    bool sendRecord(int slot, const Config::Player& record) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
        return send(uint16_t(Config::PLAYER_NID + slot), std::vector<uint8_t>(bytes, bytes + sizeof record));
    }
    // As a killed program's: the socket goes without a word.
    void close() {
        m_signsOfLife.stop();
        if (m_socket >= 0) sys::closeSocket(m_socket);
        m_socket = -1;
    }

private:
    int m_socket;
    std::mutex m_sending;
    sys::Ticker m_signsOfLife;
};

Config::Player riderRecord(int32_t model, const char* name, bool ready) {
    Config::Player record;
    record.colour = model % 4;
    record.model = model;
    std::strcpy(record.name, name);
    record.ready = ready ? 1 : 0;
    return record;
}

class LanRunTest : public ProgramRun {
protected:
    void SetUp() override {
        ProgramRun::SetUp();
        if (IsSkipped()) return;
        if (!m_joinerSeat.open()) GTEST_SKIP() << "no second private X server (Xvfb) could start";
        const uint16_t free = freePort();
        ASSERT_NE(free, 0);
        m_port = std::to_string(free);
    }

    // The title's window closed, as a player quits: the game ends cleanly.
    static void quit(ProgramSeat& seat, ChildProcess& game) {
        seat.screen().closeWindows(TITLE);
        EXPECT_EQ(game.waitForExit(30s), 0) << game.output();
    }

    static Picture grab(ProgramSeat& seat, Rect r) { return seat.screen().grab(r.x, r.y, r.width, r.height); }

    // The lobby's moped turns round and round: its pictures are never steady.
    static Picture clickAndLook(ProgramSeat& seat, Rect r, const Picture& before, double share) {
        seat.clickAt(r.middleX(), r.middleY());
        return seat.firstChange(before, share, 15s);
    }

    // Until that part of the screen looks (un)like `look`; false when the time ran out first.
    static bool waitForLook(ProgramSeat& seat, Rect r, const Picture& look, bool same,
                            std::chrono::milliseconds timeout) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < giveUp) {
            if ((VirtualDisplay::differingShare(look, grab(seat, r)) == 0.0) == same) return true;
            std::this_thread::sleep_for(ProgramSeat::POLL);
        }
        return false;
    }

    // That part of the screen once two grabs a moment apart hardly differ, as
    // the race does once the moped has rolled out.
    static Picture standing(ProgramSeat& seat, Rect r, std::chrono::milliseconds timeout) {
        const auto giveUp = std::chrono::steady_clock::now() + timeout;
        Picture last = grab(seat, r);
        for (;;) {
            std::this_thread::sleep_for(ProgramSeat::POLL * 3);
            Picture now = grab(seat, r);
            if (VirtualDisplay::differingShare(last, now) < STANDING || std::chrono::steady_clock::now() >= giveUp)
                return now;
            last = std::move(now);
        }
    }

    // The main menu's LAN button: the host-or-join screen's picture.
    static Picture chooseLan(ProgramSeat& seat, const Picture& menu) {
        seat.clickAt(LAN_BUTTON.middleX(), LAN_BUTTON.middleY());
        return seat.changedPicture(menu, 0.3);
    }

    // Join, the address typed key by key, OK: the lobby's picture.
    static Picture join(ProgramSeat& seat, const Picture& select, const std::string& address) {
        const Picture enabledOk = grab(seat, SELECT_OK);
        clickAndLook(seat, JOIN_RADIO, select, 0.0005);
        // The box has the keys and its caret after the computer's name, and an
        // empty box disables OK. Each letter is seen gone before the next
        // BackSpace, so that none is left over for the address typed next.
        VirtualDisplay& screen = seat.screen();
        bool emptied = false;
        for (size_t typed = 0; !emptied && typed < MultiplayerSelectScreen::NAME_LENGTH; ++typed) {
            const Picture box = grab(seat, ADDRESS_BOX);
            screen.pressKey(XK_BackSpace);
            if (!waitForLook(seat, ADDRESS_BOX, box, false, 20s)) break;
            emptied = waitForLook(seat, SELECT_OK, enabledOk, false, 500ms);
        }
        EXPECT_TRUE(emptied) << "the address box was not emptied, or OK stayed enabled";
        for (char c : address) screen.pressKey(c == '.' ? XK_period : XK_a + (c - 'a'));
        EXPECT_TRUE(waitForLook(seat, SELECT_OK, enabledOk, true, 5s)) << "OK enabled again by the address";
        save(seat.grabScreen(), "lan-joiner-address");
        return clickAndLook(seat, SELECT_OK, seat.grabScreen(), LOBBY_CHANGE);
    }

    // The host's lobby from its main menu, and the joiner in it from its splash;
    // `noJoiner` is the host's players table before the joiner came.
    void joinTheHostsLobby(ChildProcess& joinerGame, Picture& noJoiner) {
        ProgramSeat& host = *this;
        ProgramSeat& joiner = m_joinerSeat;
        clickAndLook(host, SELECT_OK, chooseLan(host, host.chooseEnglish()), 0.3);
        noJoiner = standing(host, PLAYERS, 10s);
        ASSERT_FALSE(joiner.waitForSplash(joinerGame).rgb.empty()) << joinerGame.output();
        join(joiner, chooseLan(joiner, joiner.chooseEnglish()), "localhost");
        ASSERT_TRUE(waitForLook(host, PLAYERS, noJoiner, false, 10s)) << "no joiner in the host's lobby";
    }

    // From the host's main menu and the joiner's splash through the lobby, where
    // both say ready, into the races' set-up. Given `alone`, the host steps its
    // colour first and its players table before the joiner came goes there.
    // `singleRace` makes it a single race of one lap; `beforeHostReady` runs
    // once the joiner's ready has reached the host.
    void meetInTheLobby(ChildProcess& joinerGame, const Picture& hostMenu, Picture* alone = nullptr,
                        bool singleRace = false, const std::function<void()>& beforeHostReady = {}) {
        ProgramSeat& host = *this;
        ProgramSeat& joiner = m_joinerSeat;
        const Picture hostSelect = chooseLan(host, hostMenu);
        const Picture hostAlone = clickAndLook(host, SELECT_OK, hostSelect, LOBBY_CHANGE);
        ASSERT_GT(VirtualDisplay::differingShare(hostSelect, hostAlone), 0.3) << "no lobby for the host";
        save(hostAlone, "lan-host-alone");
        if (singleRace) {
            const Picture championship = grab(host, MODE_TEXT);
            host.clickAt(MODE_LEFT.middleX(), MODE_LEFT.middleY());
            ASSERT_TRUE(waitForLook(host, MODE_TEXT, championship, false, 10s)) << "the mode did not change";
        }
        if (alone) {
            const Picture firstColour = grab(host, PLAYERS);
            host.clickAt(COLOUR_DOWN.middleX(), COLOUR_DOWN.middleY());
            ASSERT_TRUE(waitForLook(host, PLAYERS, firstColour, false, 10s)) << "the host's colour did not change";
        }
        const Picture noJoiner = standing(host, PLAYERS, 10s), disabledOk = grab(host, LOBBY_OK);
        if (alone) *alone = noJoiner;

        ASSERT_FALSE(joiner.waitForSplash(joinerGame).rgb.empty()) << joinerGame.output();
        const Picture joinerLobby = join(joiner, chooseLan(joiner, joiner.chooseEnglish()), "localhost");
        ASSERT_GT(VirtualDisplay::differingShare(hostSelect, joinerLobby), 0.3) << "no lobby for the joiner";
        // The joiner's row shows; the host still cannot start.
        EXPECT_TRUE(waitForLook(host, PLAYERS, noJoiner, false, 10s)) << "no joiner in the host's lobby";
        EXPECT_EQ(VirtualDisplay::differingShare(disabledOk, grab(host, LOBBY_OK)), 0.0);

        joiner.clickAt(LOBBY_OK.middleX(), LOBBY_OK.middleY());
        ASSERT_TRUE(waitForLook(host, LOBBY_OK, disabledOk, false, 10s)) << "the host's OK never became enabled";
        save(host.grabScreen(), "lan-host-lobby");
        save(joiner.grabScreen(), "lan-joiner-lobby");
        if (beforeHostReady) beforeHostReady();
        host.clickAt(LOBBY_OK.middleX(), LOBBY_OK.middleY());
    }

    // Both riders' Space, then a lap each on the minimap, to the single race's result on both computers.
    void raceALapToTheResult(ChildProcess& hostGame, ChildProcess& joinerGame) {
        ProgramSeat& host = *this;
        ProgramSeat& joiner = m_joinerSeat;
        ASSERT_TRUE(host.pressSpaceUntilCountdown(hostGame, 1, [&] { joiner.screen().pressKey(XK_space); }))
            << hostGame.output();
        ASSERT_TRUE(joiner.waitForLog(joinerGame, "race: go", 60s)) << joinerGame.output();
        const Centreline road(demoTracks()[TRACK].centreline());
        MinimapDriver hostDriver(host.screen(), road), joinerDriver(joiner.screen(), road);
        std::thread joinerRides([&] { joinerDriver.ride(1.0, 150s); });
        hostDriver.ride(1.0, 150s);
        joinerRides.join();
        ASSERT_TRUE(host.waitForLog(hostGame, "race window: single race result", 60s)) << hostGame.output();
        ASSERT_TRUE(joiner.waitForLog(joinerGame, "race window: single race result", 60s)) << joinerGame.output();
    }

    // The start lies on a long straight: throttle only, as a player holds it, for a while.
    static void rideFromTheStart(MinimapDriver& driver) {
        driver.rideStraight();
        const auto until = std::chrono::steady_clock::now() + DRIVE;
        while (std::chrono::steady_clock::now() < until) {
            driver.step();
            std::this_thread::sleep_for(30ms);
        }
        driver.release();
    }

    ProgramSeat m_joinerSeat;
    // The host's lobby server takes it; the joiner's client looks there.
    std::string m_port;
};

TEST_F(LanRunTest, HostAndJoinerMeetInTheLobbyRaceEachOtherAndTheHostOutlivesTheJoinersCrash) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    auto hostGame = host.start("lan-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-joiner", {{"PLIMZOR_LAN_PORT", m_port}});
    // Another colour than the lobby gives: the next lobby must offer it again.
    Picture noJoiner;
    ASSERT_NO_FATAL_FAILURE(meetInTheLobby(*joinerGame, host.chooseEnglish(), &noJoiner));
    ASSERT_TRUE(host.waitForLog(*hostGame, "entering main loop...", 90s)) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering main loop...", 90s)) << joinerGame->output();
    // Both copies' first player is "Player 1": the joiner's rider takes its slot's number on both computers.
    for (const std::string& log : {host.log(), joiner.log()}) {
        EXPECT_NE(log.find("riders: 0 \"Player 1\" ("), std::string::npos) << log;
        EXPECT_NE(log.find(", 1 \"Player 1 (2)\" ("), std::string::npos) << log;
    }

    // A LAN race waits for every computer's Space.
    save(host.changedPicture(host.grabScreen(), 0.3, 10s), "lan-host-waiting");
    ASSERT_TRUE(host.pressSpaceUntilCountdown(*hostGame, 1, [&] { joiner.screen().pressKey(XK_space); }))
        << hostGame->output();
    ASSERT_TRUE(host.waitForLog(*hostGame, "race: go", 60s)) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "race: go", 60s)) << joinerGame->output();
    // A loaded machine's race skips steps: the riders' going is looked at, not the clock.
    bool gone = false;
    for (const auto giveUp = std::chrono::steady_clock::now() + 90s;
         !gone && std::chrono::steady_clock::now() < giveUp; std::this_thread::sleep_for(ProgramSeat::POLL)) {
        const Spot hostStart = centreOf(grab(host, MINIMAP), MinimapDriver::isGreenDot);
        gone = hostStart.seen && computersGone(grab(joiner, MINIMAP), hostStart);
    }
    ASSERT_TRUE(gone) << "the computer riders never rode off from the start";

    const Picture joinerMapBefore = grab(joiner, MINIMAP);
    const Centreline road(demoTracks()[TRACK].centreline());
    MinimapDriver driver(host.screen(), road);
    rideFromTheStart(driver);
    EXPECT_GT(driver.ridden(), RIDDEN) << "the host's moped did not ride";
    standing(host, MINIMAP, 10s);
    const Picture hostRace = host.grabScreen(), joinerRace = joiner.grabScreen();
    save(hostRace, "lan-host-race");
    save(joinerRace, "lan-joiner-race");

    // Each own dot's middle uncovered, where the other computer's map must show
    // a red dot: the host where it rode to, where no dot was before; the joiner
    // where it stands.
    Picture hostMap, joinerMap;
    Spot hostDot, joinerDot;
    bool uncovered = false, seen = false;
    for (int look = 0; !(uncovered && seen) && look < LOOKS; ++look) {
        if (look > 0) std::this_thread::sleep_for(ProgramSeat::POLL);
        hostMap = grab(host, MINIMAP);
        joinerMap = grab(joiner, MINIMAP);
        hostDot = centreOf(hostMap, MinimapDriver::isGreenDot);
        joinerDot = centreOf(joinerMap, MinimapDriver::isGreenDot);
        uncovered = middleAt(hostMap, MinimapDriver::isGreenDot, hostDot) &&
                    middleAt(joinerMap, MinimapDriver::isGreenDot, joinerDot);
        // What one computer sends reaches the other's map a little later on a busy machine.
        seen = middleAt(joinerMap, isRedDot, hostDot) && middleAt(hostMap, isRedDot, joinerDot);
    }
    ASSERT_TRUE(uncovered) << "no own dot on a map, or computer riders on them all the time";
    EXPECT_TRUE(middleAt(joinerMap, isRedDot, hostDot)) << "the joiner does not see the host ride";
    EXPECT_LT(pixelsNear(joinerMapBefore, isRedDot, hostDot, DOT_RADIUS), DOT_PIXELS / 2);
    EXPECT_TRUE(middleAt(hostMap, isRedDot, joinerDot)) << "the host does not see the joiner";

    // The window then makes the change, not the moped.
    const Picture raceBehindWindow = standing(host, CONNECTION_LOST, 10s);
    joinerGame->kill();
    const auto killed = std::chrono::steady_clock::now();
    bool shown = false;
    while (!shown && std::chrono::steady_clock::now() - killed < 15s) {
        shown = VirtualDisplay::differingShare(raceBehindWindow, grab(host, CONNECTION_LOST)) > 0.5;
        if (!shown) std::this_thread::sleep_for(ProgramSeat::POLL);
    }
    ASSERT_TRUE(shown) << "no connection-lost window on the host";
    EXPECT_LT(std::chrono::steady_clock::now() - killed, 8s);
    standing(host, CONNECTION_LOST, 10s);
    const Picture window = host.grabScreen();
    save(window, "lan-host-connection-lost");

    // Still drawing: the pointer shows over the window's OK, and OK takes the host back to the menu.
    const Picture okBefore = grab(host, CONNECTION_LOST_OK);
    host.screen().pointAt(CONNECTION_LOST_OK.middleX(), CONNECTION_LOST_OK.middleY());
    EXPECT_TRUE(waitForLook(host, CONNECTION_LOST_OK, okBefore, false, 5s)) << "the host stopped drawing";
    host.screen().click();
    ASSERT_TRUE(host.waitForLog(*hostGame, "entering menu loop...", 60s, 2)) << hostGame->output();
    const Picture backInMenu = host.steadyPicture();
    save(backInMenu, "lan-host-back-in-menu");

    // The menu built anew after the race: the lobby opens on the host's own choices.
    const Picture selectAgain = chooseLan(host, backInMenu);
    const Picture lobbyAgain = clickAndLook(host, SELECT_OK, selectAgain, LOBBY_CHANGE);
    ASSERT_GT(VirtualDisplay::differingShare(selectAgain, lobbyAgain), 0.3) << "no lobby for the host the second time";
    EXPECT_TRUE(waitForLook(host, PLAYERS, noJoiner, true, 10s)) << "the lobby forgot the host's colour";
    save(host.grabScreen(), "lan-host-lobby-again");
    quit(host, *hostGame);

    // The host's log of a LAN race: stamped lines naming what was loaded, no line a value.
    const std::string written = host.log();
    EXPECT_LT(written.size(), size_t(LogStream::MAX_BYTES));
    EXPECT_EQ(written.find("writenid"), std::string::npos);
    EXPECT_EQ(written.find("readnid"), std::string::npos);
    for (const char* named : {"archive: ", "track: ", "riders: 0 \""})
        EXPECT_NE(written.find(named), std::string::npos) << named << "\n" << written;
    const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} .*)");
    std::istringstream lines(written);
    for (std::string line; std::getline(lines, line);) EXPECT_TRUE(std::regex_match(line, stamped)) << line;
}

TEST_F(LanRunTest, HostJustOutOfAChampionshipSaysReadyAndSteersWhileTheJoinerLoadsBothStartTogetherAndTheHostRidesOn) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    auto hostGame = host.start("lan-early-host", {{"PLIMZOR_LAN_PORT", m_port}});
    const Picture menu = host.mainMenu(*hostGame);
    ASSERT_FALSE(menu.rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-early-joiner", {{"PLIMZOR_LAN_PORT", m_port}});

    // A championship race begun and left: its riders' records, kinds and flags are what the lobby finds.
    host.clickAndLook(CHAMPIONSHIP, menu, 0.3);
    host.clickAt(CHAMPIONSHIP_OK.x, CHAMPIONSHIP_OK.y);
    ASSERT_FALSE(host.startRace(*hostGame).rgb.empty()) << hostGame->output();
    ASSERT_FALSE(host.leaveRaceByPause(*hostGame, host.grabScreen()).rgb.empty()) << hostGame->output();
    ASSERT_TRUE(host.waitForLog(*hostGame, "entering menu loop...", 60s, 2)) << hostGame->output();
    ASSERT_NO_FATAL_FAILURE(meetInTheLobby(*joinerGame, host.steadyPicture()));
    // The joiner's computer is slow: its set-up, once begun, stands while the host's race comes up.
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "track: ", 60s)) << "the joiner never left the lobby\n" << joiner.log();
    joinerGame->signal(SIGSTOP);
    // Let run a moment every few seconds: as good as standing, yet heard from well within the
    // time after which a lobby takes a computer for gone.
    sys::Ticker breaths;
    breaths.start(4s, [&] {
        joinerGame->signal(SIGCONT);
        std::this_thread::sleep_for(300ms);
        joinerGame->signal(SIGSTOP);
    });
    const bool hostUp = host.waitForLog(*hostGame, "entering main loop...", 90s, 2);

    // The host says ready as soon as its race is up and steers while it waits.
    VirtualDisplay& hostKeys = host.screen();
    hostKeys.setKey(XK_w, true);
    const auto waited = std::chrono::steady_clock::now() + HOST_WAITS;
    for (int beat = 0; hostUp && std::chrono::steady_clock::now() < waited; ++beat) {
        hostKeys.pressKey(XK_space);
        hostKeys.setKey(beat % 2 ? XK_a : XK_d, true);
        std::this_thread::sleep_for(500ms);
        hostKeys.setKey(beat % 2 ? XK_a : XK_d, false);
    }
    breaths.stop();
    joinerGame->signal(SIGCONT);
    ASSERT_TRUE(hostUp) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering main loop...", 90s)) << joinerGame->output() << joiner.log();
    // Still steering a while after the joiner's race is up.
    std::this_thread::sleep_for(2s);
    hostKeys.setKey(XK_w, false);
    save(host.grabScreen(), "lan-early-host-waiting");
    // Nobody starts before the joiner says ready too; the championship's countdown was the host's first.
    EXPECT_EQ(occurrences(host.log(), "race: countdown"), 1u) << "the host started alone";
    EXPECT_EQ(occurrences(joiner.log(), "race: countdown"), 0u) << "the joiner started alone";

    // Only the host's Space, taken long before, lets the joiner's start.
    ASSERT_TRUE(joiner.pressSpaceUntilCountdown(*joinerGame)) << joinerGame->output();
    ASSERT_TRUE(host.waitForLog(*hostGame, "race: go", 60s, 2)) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "race: go", 60s)) << joinerGame->output();
    // Past the moment at which the host's riders once stood still for good.
    std::this_thread::sleep_for(RIDERS_STOPPED_ONCE);
    MinimapDriver driver(host.screen(), Centreline(demoTracks()[TRACK].centreline()));
    rideFromTheStart(driver);
    save(host.grabScreen(), "lan-early-host-race");
    save(joiner.grabScreen(), "lan-early-joiner-race");
    EXPECT_GT(driver.ridden(), RIDDEN) << "the host's moped did not ride";

    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

TEST_F(LanRunTest, AGuestKilledInTheLobbyLeavesBothTablesAndTheHostCanStartAgain) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    auto hostGame = host.start("lan-ghost-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-ghost-joiner", {{"PLIMZOR_LAN_PORT", m_port}});
    const Picture hostLobby = clickAndLook(host, SELECT_OK, chooseLan(host, host.chooseEnglish()), 0.3);
    const Picture noJoiner = standing(host, PLAYERS, 10s), disabledOk = grab(host, LOBBY_OK);
    ASSERT_FALSE(joiner.waitForSplash(*joinerGame).rgb.empty()) << joinerGame->output();
    join(joiner, chooseLan(joiner, joiner.chooseEnglish()), "localhost");
    ASSERT_TRUE(waitForLook(host, PLAYERS, noJoiner, false, 10s)) << "no joiner in the host's lobby";
    joiner.clickAt(LOBBY_OK.middleX(), LOBBY_OK.middleY());
    ASSERT_TRUE(waitForLook(host, LOBBY_OK, disabledOk, false, 10s)) << "the host's OK never became enabled";
    const Picture enabledOk = grab(host, LOBBY_OK);
    const Picture hostTable = standing(host, PLAYERS, 10s), joinerTable = standing(joiner, PLAYERS, 10s);

    // A third computer joins: its row shows from its welcome on, before it chose anything.
    LobbyPeer ghost(uint16_t(std::stoi(m_port)));
    ASSERT_EQ(ghost.hello(NetProtocol::CHUNK_JOIN), 2);
    EXPECT_TRUE(waitForLook(host, PLAYERS, hostTable, false, 10s)) << "the joining guest is not in the host's table";
    EXPECT_TRUE(waitForLook(joiner, PLAYERS, joinerTable, false, 10s)) << "nor in the joiner's";
    ASSERT_TRUE(ghost.sendRecord(2, riderRecord(2, "Ghost", false)));
    EXPECT_TRUE(waitForLook(host, LOBBY_OK, enabledOk, false, 10s)) << "a guest not ready let the host start";
    save(host.grabScreen(), "lan-ghost-host-three");
    save(joiner.grabScreen(), "lan-ghost-joiner-three");

    // Killed: nothing said. Both tables forget it, and the host may start again.
    ghost.close();
    EXPECT_TRUE(waitForLook(host, PLAYERS, hostTable, true, 15s)) << "the killed guest stays in the host's table";
    EXPECT_TRUE(waitForLook(joiner, PLAYERS, joinerTable, true, 15s)) << "the killed guest stays in the joiner's table";
    EXPECT_TRUE(waitForLook(host, LOBBY_OK, enabledOk, true, 15s)) << "the host's OK stays grey";
    save(host.grabScreen(), "lan-ghost-host-after");
    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

TEST_F(LanRunTest, AHostKilledDuringTheJoinersLoadingPictureIsToldInTheMenu) {
    ProgramSeat& joiner = *this;
    // The host's lobby runs in a program of its own, so that it can die as the host's game would.
    ChildProcess lobby({LOBBY_SERVER_PATH, "--port", m_port}, {}, m_joinerSeat.home() + "/lobby.out");
    auto joinerGame = joiner.start("lan-lost-joiner", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(joiner.waitForSplash(*joinerGame).rgb.empty()) << joinerGame->output();
    const Picture select = chooseLan(joiner, joiner.chooseEnglish());
    LobbyPeer host(uint16_t(std::stoi(m_port)));
    ASSERT_EQ(host.hello(NetProtocol::CHUNK_HOST_HELLO), 0) << "no lobby on port " << m_port;
    ASSERT_TRUE(host.sendRecord(0, riderRecord(4, "Host", true)));
    join(joiner, select, "localhost");
    joiner.clickAt(LOBBY_OK.middleX(), LOBBY_OK.middleY());
    // Every ready: the joiner's race comes up and waits for the host's computer riders, which never come.
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "track: ", 60s)) << joinerGame->output();
    lobby.kill();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering menu loop...", 60s, 2)) << joinerGame->output();
    const Picture told = joiner.changedPicture(joiner.grabScreen(), 0.0, 5s);
    save(joiner.steadyPicture(), "lan-lost-joiner-told");
    const Picture message = grab(joiner, MESSAGE);
    joiner.clickAt(MESSAGE_OK.middleX(), MESSAGE_OK.middleY());
    EXPECT_TRUE(waitForLook(joiner, MESSAGE, message, false, 10s)) << "no window, or its OK did not close it";
    save(joiner.steadyPicture(), "lan-lost-joiner-menu");
    quit(joiner, *joinerGame);
}

TEST_F(LanRunTest, AMinuteOfHostileGuestsStartsNothingAndTheTwoPlayersThenRaceToTheEnd) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    auto hostGame = host.start("lan-flood-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-flood-joiner", {{"PLIMZOR_LAN_PORT", m_port}});
    clickAndLook(host, SELECT_OK, chooseLan(host, host.chooseEnglish()), 0.3);
    host.clickAt(MODE_LEFT.middleX(), MODE_LEFT.middleY());
    const Picture noJoiner = standing(host, PLAYERS, 10s), disabledOk = grab(host, LOBBY_OK);
    ASSERT_FALSE(joiner.waitForSplash(*joinerGame).rgb.empty()) << joinerGame->output();
    join(joiner, chooseLan(joiner, joiner.chooseEnglish()), "localhost");
    ASSERT_TRUE(waitForLook(host, PLAYERS, noJoiner, false, 10s)) << "no joiner in the host's lobby";
    const std::string firstLines = host.log();

    // Forged records and raceReady for every other slot, the host's settings, wrong sizes, unknown ids, readies
    // over and over, small chunks no lobby takes and lengths no chunk has, from several connections at once.
    ChildProcess flood({LAN_FLOOD_PATH, "127.0.0.1", m_port, "60", "--joiners", "2", "--readies", "1", "--refused", "1",
                        "--strangers", "3"},
                       {}, host.home() + "/flood.out");
    int looks = 0;
    while (flood.waitForExit(ProgramSeat::POLL) == ChildProcess::STILL_RUNNING) {
        ASSERT_TRUE(hostGame->running()) << hostGame->output();
        // An enabled OK changes most of its button; a grab taken while a slow frame is sent, a few pixels.
        ASSERT_LT(VirtualDisplay::differingShare(disabledOk, grab(host, LOBBY_OK)), OK_ENABLED)
            << "a forged record let the host start";
        ++looks;
    }
    EXPECT_GT(looks, 10);
    EXPECT_EQ(host.log().find("entering main loop..."), std::string::npos) << "a forged value started a race";
    EXPECT_EQ(joiner.log().find("entering main loop..."), std::string::npos) << "a forged value started a race";
    save(host.grabScreen(), "lan-flood-host-lobby");

    // The real players say ready, race their lap and see its result.
    joiner.clickAt(LOBBY_OK.middleX(), LOBBY_OK.middleY());
    ASSERT_TRUE(waitForLook(host, LOBBY_OK, disabledOk, false, 30s)) << "the host's OK never became enabled";
    // A sanitized game on a busy machine may be between screens when the click comes: it is given again
    // until the lobby gives way to the loading picture.
    const Picture hostReady = host.grabScreen();
    bool left = false;
    for (int click = 0; !left && click < 3; ++click) {
        host.clickAt(LOBBY_OK.middleX(), LOBBY_OK.middleY());
        left = VirtualDisplay::differingShare(hostReady, host.changedPicture(hostReady, LOBBY_CHANGE, 20s)) >
               LOBBY_CHANGE;
    }
    ASSERT_TRUE(host.waitForLog(*hostGame, "entering main loop...", 90s)) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering main loop...", 90s)) << joinerGame->output();
    ASSERT_NO_FATAL_FAILURE(raceALapToTheResult(*hostGame, *joinerGame));
    save(host.grabScreen(), "lan-flood-host-result");
    save(joiner.grabScreen(), "lan-flood-joiner-result");

    // The log still begins as it did, and told the refusals once and then their counts.
    const std::string written = host.log();
    EXPECT_EQ(written.compare(0, firstLines.size(), firstLines), 0) << "the log lost its first lines";
    EXPECT_LT(written.size(), size_t(LogStream::MAX_BYTES));
    EXPECT_NE(written.find("not taken: another computer owns it"), std::string::npos) << written;
    quit(host, *hostGame);
    quit(joiner, *joinerGame);
}

// The lobby's time a peer may be silent, as the copies log it.
const char* const GUEST_LET_GO = "silent for 15.0 s; let go";
const char* const LOBBY_GONE = "nothing from the lobby for 15.0 s; connection lost";

TEST_F(LanRunTest, ALineGoneSilentInTheLobbyIsToldOnBothComputers) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    // Between the two a router that will lose its far side without closing anything.
    StallingRelay relay(uint16_t(std::stoi(m_port)));
    auto hostGame = host.start("lan-silent-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-silent-joiner", {{"PLIMZOR_LAN_PORT", std::to_string(relay.port())}});
    Picture noJoiner;
    ASSERT_NO_FATAL_FAILURE(joinTheHostsLobby(*joinerGame, noJoiner));
    ASSERT_EQ(relay.carried(), 1);
    const Picture noMessage = standing(joiner, MESSAGE_OK, 10s);

    relay.stall();
    EXPECT_TRUE(waitForLook(host, PLAYERS, noJoiner, true, SILENCE_TOLD)) << "the silent joiner stays in the table";
    EXPECT_TRUE(host.waitForLog(*hostGame, GUEST_LET_GO, 10s)) << host.log();
    EXPECT_TRUE(joiner.waitForLog(*joinerGame, LOBBY_GONE, SILENCE_TOLD)) << joiner.log();
    EXPECT_TRUE(waitForLook(joiner, MESSAGE_OK, noMessage, false, 10s)) << "the joiner's lobby does not tell it";
    save(host.grabScreen(), "lan-silent-host-lobby");
    save(joiner.grabScreen(), "lan-silent-joiner-lobby");
    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

TEST_F(LanRunTest, ALineGoneSilentInARaceIsToldOnBothComputers) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    StallingRelay relay(uint16_t(std::stoi(m_port)));
    auto hostGame = host.start("lan-silent-race-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-silent-race-joiner", {{"PLIMZOR_LAN_PORT", std::to_string(relay.port())}});
    ASSERT_NO_FATAL_FAILURE(meetInTheLobby(*joinerGame, host.chooseEnglish()));
    ASSERT_TRUE(host.waitForLog(*hostGame, "entering main loop...", 90s)) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering main loop...", 90s)) << joinerGame->output();

    relay.stall();
    // The joiner's line is gone; the host hears from its own lobby that the joiner left.
    const std::string lost = "race window: message \"The connection to the network game was lost.";
    EXPECT_TRUE(joiner.waitForLog(*joinerGame, lost, SILENCE_TOLD)) << joiner.log();
    const std::string left = "race window: message \"A player has left the race.";
    EXPECT_TRUE(host.waitForLog(*hostGame, left, SILENCE_TOLD)) << host.log();
    EXPECT_NE(joiner.log().find(LOBBY_GONE), std::string::npos) << joiner.log();
    EXPECT_NE(host.log().find(GUEST_LET_GO), std::string::npos) << host.log();
    standing(host, CONNECTION_LOST, 10s);
    save(host.grabScreen(), "lan-silent-race-host");
    save(joiner.grabScreen(), "lan-silent-race-joiner");
    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

TEST_F(LanRunTest, AJoinerStoppedLongerThanTheLobbyWaitsLeavesTheHostsTableAndIsToldOnceItRunsAgain) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    auto hostGame = host.start("lan-stopped-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-stopped-joiner", {{"PLIMZOR_LAN_PORT", m_port}});
    Picture noJoiner;
    ASSERT_NO_FATAL_FAILURE(joinTheHostsLobby(*joinerGame, noJoiner));
    const Picture noMessage = standing(joiner, MESSAGE_OK, 10s);

    // Its threads stand with it: no sign of life comes however its connection looks.
    joinerGame->signal(SIGSTOP);
    EXPECT_TRUE(waitForLook(host, PLAYERS, noJoiner, true, SILENCE_TOLD)) << "the stopped joiner stays in the table";
    EXPECT_TRUE(host.waitForLog(*hostGame, GUEST_LET_GO, 10s)) << host.log();
    save(host.grabScreen(), "lan-stopped-host-lobby");
    joinerGame->signal(SIGCONT);
    EXPECT_TRUE(waitForLook(joiner, MESSAGE_OK, noMessage, false, 30s)) << "the joiner's lobby does not tell it";
    save(joiner.grabScreen(), "lan-stopped-joiner-lobby");
    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

TEST_F(LanRunTest, AJoinerThatRunsNoFrameFromItsReadyUntilTheHostsRaceIsUpFollowsAndBothRaceToTheSameResult) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    auto hostGame = host.start("lan-stopped-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-stopped-joiner", {{"PLIMZOR_LAN_PORT", m_port}});
    // The joiner's ready has reached the host; from then on it runs no frame, as a minimised or stalled copy,
    // while the host's lobby closes and its race comes up.
    ASSERT_NO_FATAL_FAILURE(
        meetInTheLobby(*joinerGame, host.chooseEnglish(), nullptr, true, [&] { joinerGame->signal(SIGSTOP); }));
    const bool hostUp = host.waitForLog(*hostGame, "entering main loop...", 90s);
    joinerGame->signal(SIGCONT);
    ASSERT_TRUE(hostUp) << hostGame->output();
    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering main loop...", 90s))
        << "the joiner stayed in the lobby\n" << joiner.log();
    EXPECT_EQ(occurrences(host.log(), "race: countdown"), 0u) << "the host started alone";

    ASSERT_NO_FATAL_FAILURE(raceALapToTheResult(*hostGame, *joinerGame));
    // The host's places and times reach the joiner's table a little later on a busy machine.
    bool same = false;
    for (const auto giveUp = std::chrono::steady_clock::now() + 30s; !same && std::chrono::steady_clock::now() < giveUp;
         std::this_thread::sleep_for(ProgramSeat::POLL))
        same = VirtualDisplay::differingShare(grab(host, RESULT_ROWS), grab(joiner, RESULT_ROWS)) == 0.0;
    save(host.grabScreen(), "lan-stopped-host-result");
    save(joiner.grabScreen(), "lan-stopped-joiner-result");
    EXPECT_TRUE(same) << "the two copies show different results";
    EXPECT_EQ(occurrences(host.log(), "race: countdown"), 1u);
    EXPECT_EQ(occurrences(joiner.log(), "race: countdown"), 1u);
    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

TEST_F(LanRunTest, AJoinerWhoseArchiveLacksTheTrackTellsWhyAsAnyRaceAndTheHostSeesThePlayerLeave) {
    ProgramSeat& host = *this;
    ProgramSeat& joiner = m_joinerSeat;
    // The demo archive with the first track's scene under another name.
    std::ifstream demo(DEMO_ARCHIVE_PATH, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
    const std::string scene = "track_01_parkhaus.lws";
    const size_t at = bytes.find(scene);
    ASSERT_NE(at, std::string::npos);
    bytes[at + scene.size() - 1] = 'x';
    const std::string lacking = m_dir.write("lacking/data.sar", bytes);

    auto hostGame = host.start("lan-lacking-host", {{"PLIMZOR_LAN_PORT", m_port}});
    ASSERT_FALSE(host.waitForSplash(*hostGame).rgb.empty()) << hostGame->output();
    auto joinerGame = joiner.start("lan-lacking-joiner", {{"PLIMZOR_LAN_PORT", m_port}, {"PLIMZOR_DATA", lacking}});
    const Picture hostMenu = host.chooseEnglish();
    const Picture noMessage = grab(host, MESSAGE);
    ASSERT_NO_FATAL_FAILURE(meetInTheLobby(*joinerGame, hostMenu));

    ASSERT_TRUE(joiner.waitForLog(*joinerGame, "entering menu loop...", 90s, 2)) << joinerGame->output();
    EXPECT_NE(joiner.log().find("the track D:\\Vantorik\\3dobjects_tracks\\" + scene +
                                " cannot be raced: the archive does not hold it"),
              std::string::npos)
        << joiner.log();
    // The main menu, without a window that blames the network.
    const Picture joinerMenu = joiner.steadyPicture();
    save(joinerMenu, "lan-lacking-joiner-menu");
    EXPECT_LT(VirtualDisplay::differingShare(noMessage, grab(joiner, MESSAGE)), 0.05) << "a message over the menu";

    const std::string left = "race window: message \"A player has left the race. The network game is over.\"";
    ASSERT_TRUE(host.waitForLog(*hostGame, left, 90s)) << host.log();
    save(host.steadyPicture(), "lan-lacking-host-told");
    quit(joiner, *joinerGame);
    quit(host, *hostGame);
}

} // namespace
