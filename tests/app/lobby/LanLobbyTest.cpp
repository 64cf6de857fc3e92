#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "app/menu/MessageWindow.h"
#include "engine/platform/Report.h"
#include "game/race/Race.h"
#include "tests/app/menu/LanFixture.h"
#include "tests/net/NetTestSupport.h"

namespace {

using W = MultiplayerScreen::Widget;
using C = MultiplayerScreen::Column;

class LanLobbyTest : public LanTest {
protected:
    // Hosts through the host-or-join screen, as its OK does.
    MultiplayerScreen& host() {
        MultiplayerSelectScreen& select = openSelect();
        click(select.widget(MultiplayerSelectScreen::OK_BUTTON));
        // The frame the welcome came in opens the lobby.
        framesWhileConnecting(select);
        EXPECT_EQ(m_menu.current, &lobby());
        EXPECT_TRUE(lobby().isHost());
        return lobby();
    }
    // Joins the game on this computer by Enter in the address box; the lobby then waits for its state.
    MultiplayerScreen& join() { return joinFrom(openSelect()); }
    MultiplayerScreen& joinFrom(MultiplayerSelectScreen& select) {
        chooseJoin(select, "127.0.0.1");
        CEGUI::Window* box = select.widget(MultiplayerSelectScreen::ADDRESS);
        CEGUI::WindowEventArgs args(box);
        box->fireEvent(CEGUI::Editbox::EventTextAccepted, args, CEGUI::Editbox::EventNamespace);
        framesWhileConnecting(select);
        EXPECT_EQ(m_menu.current, &lobby());
        EXPECT_FALSE(lobby().isHost());
        return lobby();
    }
    // The joining player's lobby once its state has come, in menu frames.
    MultiplayerScreen& joinAndTakeTheState(std::initializer_list<RemotePlayer*> others = {}) {
        MultiplayerScreen& screen = join();
        EXPECT_TRUE(framesUntil([&] { return !screen.lobby().isWaiting(); }, others));
        return screen;
    }
    // Another computer hosts, riding the first moped in blue; its state is on the server before anyone joins.
    void hostElsewhere(RemotePlayer& host, int32_t game, int32_t track, int32_t laps) {
        ASSERT_TRUE(host.host(port(), game, track, laps));
        host.choose("Host", 0, 0);
        const size_t state = 3 * sizeof(int32_t) + sizeof(Config::Player);
        ASSERT_TRUE(nettest::waitUntil([&] { return m_server.getStoredBytes() == state; }));
    }
    std::string image(const CEGUI::Window* window) const { return window->getProperty("Image").c_str(); }
    std::string rowText(int slot, C column) const { return text(lobby().row(slot, column)); }
};

} // namespace

TEST_F(LanLobbyTest, HostsOkWaitsForAReadyJoinerAndTheHostsReadyStartsTheRace) {
    std::strcpy(m_config->m_settings.m_playerName1, "Anna");
    // What the last race left in the slots nobody takes now.
    for (int32_t& kind : m_config->m_playerKind) kind = Race::COMPUTER;
    MultiplayerScreen& screen = host();
    EXPECT_EQ(rowText(0, C::NAME_TEXT), "Anna");
    EXPECT_EQ(rowText(0, C::COLOUR_TEXT), "Blue");
    EXPECT_EQ(rowText(0, C::MODEL_TEXT), "Hektor 50");
    EXPECT_EQ(image(screen.row(0, C::READY_ICON)), "Quillfen/IconWaiting");
    EXPECT_EQ(image(screen.row(1, C::READY_ICON)), "Quillfen/TransparentBrush");
    EXPECT_EQ(image(screen.widget(W::TRACK_PICTURE)), "Tracks/Championship");
    EXPECT_TRUE(screen.widget(W::LAPS)->isVisible());
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 3");
    EXPECT_TRUE(screen.widget(W::LAPS_LEFT)->isDisabled());
    // Alone, the host can neither press OK nor start, not even ready.
    for (int frame = 0; frame < 5; ++frame) menuFrame(m_menu);
    EXPECT_TRUE(screen.widget(W::OK)->isDisabled());
    m_config->m_player[0].modify()->ready = 1;
    for (int frame = 0; frame < 5; ++frame) menuFrame(m_menu);
    EXPECT_FALSE(m_menu.startRace);
    m_config->m_player[0].modify()->ready = 0;

    RemotePlayer bert(*m_config);
    ASSERT_TRUE(bert.join(port()));
    ASSERT_EQ(bert.client.getPlayerSlot(), 1);
    // The host's settings and record reach the joining player.
    ASSERT_TRUE(
        framesUntil([&] { return bert.game.get() == Race::CHAMPIONSHIP && bert.record(0).model == 0; }, {&bert}));
    bert.choose("Bert", 1, 1);
    ASSERT_TRUE(framesUntil([&] { return rowText(1, C::NAME_TEXT) == "Bert"; }, {&bert}));
    EXPECT_EQ(rowText(1, C::COLOUR_TEXT), "Green");
    EXPECT_EQ(rowText(1, C::MODEL_TEXT), "Kondor Sport");
    EXPECT_TRUE(screen.widget(W::OK)->isDisabled()) << "the joining player is not ready yet";

    bert.own().ready = 1;
    ASSERT_TRUE(framesUntil([&] { return !screen.widget(W::OK)->isDisabled(); }, {&bert}));
    EXPECT_EQ(image(screen.row(1, C::READY_ICON)), "Quillfen/IconReady");
    EXPECT_FALSE(m_menu.startRace);

    click(screen.widget(W::OK));
    for (W choice : {W::MODEL_LEFT, W::COLOUR_DOWN, W::MODE_RIGHT}) EXPECT_TRUE(screen.widget(choice)->isDisabled());
    // The lobby is closed to latecomers.
    ASSERT_TRUE(nettest::waitUntil([&] { return m_server.isLobbyClosed(); }));
    NetControl late;
    late.setPort(port());
    EXPECT_FALSE(late.connect("127.0.0.1", false));
    ASSERT_TRUE(framesUntil([&] { return m_menu.startRace; }, {&bert}));
    EXPECT_TRUE(NetControl::getInstance().isConnected()) << "the race goes on over the connection";
    ASSERT_TRUE(framesUntil([&] { return bert.record(0).ready != 0; }, {&bert})) << "the joining player starts too";

    const Config& config = *m_config;
    EXPECT_EQ(config.m_playMode, Race::LAN);
    EXPECT_TRUE(config.m_isHost);
    EXPECT_EQ(config.m_laps.get(), 3);
    const int32_t kinds[] = {Race::SINGLE, Race::REMOTE, Race::COMPUTER, Race::COMPUTER, Race::COMPUTER};
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        EXPECT_EQ(config.m_playerKind[slot], kinds[slot]) << slot;
        EXPECT_EQ(config.m_player[slot].get().startRank, Config::RIDERS - 1 - slot) << slot;
    }
    menuTeardown(m_menu);
}

TEST_F(LanLobbyTest, AJoinersNameWithControlBytesAndBrokenCharactersShowsOnOneRowAsTheLogShowsIt) {
    host();
    RemotePlayer bert(*m_config);
    ASSERT_TRUE(bert.join(port()));
    // Escape, a byte no UTF-8 has, a sequence broken off by a newline; the letters around them are kept whole.
    bert.choose("Zo\xC3\xAB\x1B[2J\xFF\xC3\nJr", 1, 1);
    const std::string shown = "Zo\xC3\xAB?[2J???Jr";
    ASSERT_TRUE(framesUntil([&] { return rowText(1, C::MODEL_TEXT) == "Kondor Sport"; }, {&bert}));
    EXPECT_EQ(rowText(1, C::NAME_TEXT), shown);
    EXPECT_EQ(printableExcerpt(bert.record(1).name, Config::NAME_SIZE), shown);
    menuTeardown(m_menu);
}

TEST_F(LanLobbyTest, JoinerTakesTheHostsStateFollowsItAndStartsWhenTheHostIsReady) {
    RemotePlayer host(*m_config);
    hostElsewhere(host, Race::SINGLE_RACE, 4, 2);

    MultiplayerScreen& screen = joinAndTakeTheState({&host});
    EXPECT_EQ(NetControl::getInstance().getPlayerSlot(), 1);
    EXPECT_EQ(text(screen.widget(W::MODE)), "Single Race");
    EXPECT_EQ(image(screen.widget(W::TRACK_PICTURE)), "Tracks/Track5");
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 2");
    EXPECT_EQ(rowText(0, C::NAME_TEXT), "Host");
    // The moped the host rides is taken: the next one is this player's.
    EXPECT_EQ(screen.getOwnModel(), 1);
    EXPECT_EQ(screen.getOwnColour(), 1);
    for (W setting : {W::TRACK_LEFT, W::LAPS_RIGHT, W::MODE_LEFT}) EXPECT_TRUE(screen.widget(setting)->isDisabled());
    EXPECT_FALSE(screen.widget(W::OK)->isDisabled());

    host.track = 5;
    ASSERT_TRUE(framesUntil([&] { return image(screen.widget(W::TRACK_PICTURE)) == "Tracks/Track6"; }, {&host}));
    EXPECT_EQ(text(screen.widget(W::TRACK)), "Country Road");
    ASSERT_TRUE(framesUntil([&] { return host.record(1).model == 1; }, {&host}));

    click(screen.widget(W::OK));
    menuFrame(m_menu);
    EXPECT_TRUE(screen.widget(W::OK)->isDisabled());
    ASSERT_TRUE(framesUntil([&] { return host.record(1).ready != 0; }, {&host}));
    EXPECT_FALSE(m_menu.startRace);
    host.own().ready = 1;
    ASSERT_TRUE(framesUntil([&] { return m_menu.startRace; }, {&host}));
    EXPECT_TRUE(NetControl::getInstance().isConnected());

    const Config& config = *m_config;
    EXPECT_FALSE(config.m_isHost);
    EXPECT_EQ(config.m_playMode, Race::LAN);
    EXPECT_EQ(config.m_laps.get(), 2);
    const int32_t kinds[] = {Race::REMOTE, Race::GUEST, Race::REMOTE, Race::REMOTE, Race::REMOTE};
    for (int slot = 0; slot < Config::RIDERS; ++slot) EXPECT_EQ(config.m_playerKind[slot], kinds[slot]) << slot;
    EXPECT_EQ(config.m_track.getFlags(), NetValueBase::FLAG_SEND);
    menuTeardown(m_menu);
}

TEST_F(LanLobbyTest, LeaverFreesItsSlotAndItsMopedAndTheNextJoinerTakesBoth) {
    RemotePlayer host(*m_config);
    hostElsewhere(host, Race::CHAMPIONSHIP, 0, 1);
    joinAndTakeTheState({&host});
    ASSERT_TRUE(framesUntil([&] { return host.record(1).model == 1; }, {&host}));

    click(lobby().widget(W::BACK));
    EXPECT_EQ(lobby().result(), MultiplayerScreen::BACK);
    EXPECT_EQ(NetControl::getInstance().getStatus(), NetControl::STATUS_LEFT);
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    // The host's lobby counts the host alone again.
    ASSERT_TRUE(framesUntil([&] { return host.record(1).model == -1; }, {&host}));
    EXPECT_EQ(host.record(1).colour, -1);
    ASSERT_TRUE(nettest::waitUntil([&] { return m_server.getOccupiedSlots() == 1; }));

    RemotePlayer carl(*m_config);
    ASSERT_TRUE(carl.join(port()));
    EXPECT_EQ(carl.client.getPlayerSlot(), 1);
    EXPECT_EQ(carl.record(1).model, -1) << "the replayed record of the slot is empty";
}

TEST_F(LanLobbyTest, JoinersWaitEndsSoonWhenTheServerDiesAndTheLostConnectionIsShown) {
    nettest::RawListener listener;
    NetControl::getInstance().setPort(listener.port());
    // The menu first: its set-up may take a while on a loaded machine, longer than the server waits.
    MultiplayerSelectScreen& select = openSelect();
    std::atomic<bool> serverGone{false};
    std::thread server([&] {
        nettest::RawPeer peer = listener.accept();
        nettest::Chunk chunk;
        peer.readUntil(NetProtocol::CHUNK_JOIN, chunk);
        peer.sendChunk(NetProtocol::CHUNK_WELCOME, {1});
        // The lobby's state never comes: the server goes away instead.
        peer.readUntil(NetProtocol::CHUNK_READY, chunk);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        serverGone = true;
    });
    MultiplayerScreen& screen = joinFrom(select);
    // The menu draws on while the joining player waits: the lobby is on show, its choices closed.
    int framesWhileWaiting = 0;
    while (!serverGone && screen.lobby().isWaiting()) {
        menuFrame(m_menu);
        ++framesWhileWaiting;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    server.join();
    EXPECT_GT(framesWhileWaiting, 3);
    EXPECT_EQ(sheet(), screen.root());
    // Far within the wait's own bound of LanLobby::STATE_WAIT_SECONDS.
    ASSERT_TRUE(framesUntil([&] { return screen.message().isShown(); }));
    EXPECT_FALSE(screen.lobby().isWaiting());
    EXPECT_EQ(text(screen.message().text()), "The connection to the network game was lost.");

    click(screen.message().okButton());
    EXPECT_FALSE(screen.message().isShown());
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
}

TEST_F(LanLobbyTest, HostLeavingTellsTheJoinerThatTheHostClosedTheGame) {
    RemotePlayer host(*m_config);
    hostElsewhere(host, Race::CHAMPIONSHIP, 0, 1);
    MultiplayerScreen& screen = joinAndTakeTheState({&host});
    EXPECT_FALSE(screen.message().isShown());
    host.client.disconnect();
    ASSERT_TRUE(framesUntil([&] { return screen.message().isShown(); }));
    EXPECT_EQ(text(screen.message().text()), "The host has closed the game.");
    EXPECT_EQ(screen.result(), -1) << "the lobby stays until the message is read";
}

TEST_F(LanLobbyTest, BothLanScreensOpenOnTheirLastChoicesWhenTheMenuIsBuiltAgain) {
    MultiplayerScreen& first = host();
    for (W choice : {W::MODE_RIGHT, W::TRACK_RIGHT, W::TRACK_RIGHT, W::LAPS_RIGHT, W::LAPS_RIGHT, W::LAPS_RIGHT,
                     W::MODEL_RIGHT, W::COLOUR_DOWN})
        click(first.widget(choice));
    EXPECT_EQ(rowText(0, C::MODEL_TEXT), "Kondor Sport");
    click(first.widget(W::BACK));
    menuFrame(m_menu);
    ASSERT_EQ(m_menu.current, m_menu.mainMenu.get());
    ASSERT_TRUE(nettest::waitUntil([&] { return m_server.getOccupiedSlots() == 0; }));
    click(m_menu.mainMenu->button(MainMenuScreen::LAN));
    menuFrame(m_menu);
    auto& select = static_cast<MultiplayerSelectScreen&>(*m_menu.multiplayerSelect);
    chooseJoin(select, "192.168.7.12");
    click(select.widget(MultiplayerSelectScreen::BACK_BUTTON));
    menuFrame(m_menu);
    // A race in between builds the menu anew from the same configuration.
    menuTeardown(m_menu);

    MultiplayerSelectScreen& again = openSelect();
    EXPECT_TRUE(static_cast<CEGUI::ToggleButton*>(again.widget(MultiplayerSelectScreen::JOIN))->isSelected());
    EXPECT_EQ(text(again.widget(MultiplayerSelectScreen::ADDRESS)), "192.168.7.12");
    EXPECT_FALSE(again.widget(MultiplayerSelectScreen::ADDRESS)->isDisabled());
    static_cast<CEGUI::ToggleButton*>(again.widget(MultiplayerSelectScreen::HOST))->setSelected(true);
    click(again.widget(MultiplayerSelectScreen::OK_BUTTON));
    framesWhileConnecting(again);
    ASSERT_EQ(m_menu.current, &lobby());
    MultiplayerScreen& screen = lobby();
    EXPECT_EQ(text(screen.widget(W::MODE)), "Single Race");
    EXPECT_EQ(image(screen.widget(W::TRACK_PICTURE)), "Tracks/Track3");
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 4");
    EXPECT_EQ(rowText(0, C::MODEL_TEXT), "Kondor Sport");
    EXPECT_EQ(rowText(0, C::COLOUR_TEXT), "Green");
    EXPECT_EQ(m_config->m_track.get(), 2);
    menuTeardown(m_menu);
}

TEST_F(LanLobbyTest, AJoinerWhoseNameIsTakenIsShownWithItsSlotsNumberOnEveryComputer) {
    // Every copy's first player is "Player 1" until the options say otherwise.
    std::strcpy(m_config->m_settings.m_playerName1, "Player 1");
    RemotePlayer host(*m_config);
    hostElsewhere(host, Race::SINGLE_RACE, 0, 1);
    host.choose("Player 1", 0, 0);
    RemotePlayer xaver(*m_config);
    ASSERT_TRUE(xaver.join(port()));
    xaver.choose("Xaver", 1, 1);

    joinAndTakeTheState({&host, &xaver});
    ASSERT_EQ(NetControl::getInstance().getPlayerSlot(), 2);
    auto shownEverywhere = [&](const char* own) {
        return framesUntil(
            [&] {
                return rowText(0, C::NAME_TEXT) == "Player 1" && rowText(2, C::NAME_TEXT) == own &&
                       std::string(host.record(2).name) == own && std::string(xaver.record(2).name) == own;
            },
            {&host, &xaver});
    };
    EXPECT_TRUE(shownEverywhere("Player 1 (3)")) << rowText(2, C::NAME_TEXT);
    EXPECT_EQ(rowText(1, C::NAME_TEXT), "Xaver");
    EXPECT_EQ(std::string(m_config->m_settings.m_playerName1), "Player 1") << "the stored name stays";

    // A rider of a lower slot that comes to show this very name later still comes first.
    xaver.choose("Player 1 (3)", 1, 1);
    EXPECT_TRUE(shownEverywhere("Player 1 (3) (3)")) << rowText(2, C::NAME_TEXT);
    EXPECT_EQ(rowText(1, C::NAME_TEXT), "Player 1 (3)");
    // The race's results list the records' names.
    host.own().ready = 1;
    xaver.own().ready = 1;
    click(lobby().widget(W::OK));
    ASSERT_TRUE(framesUntil([&] { return m_menu.startRace; }, {&host, &xaver}));
    for (int slot = 0; slot < 2; ++slot)
        EXPECT_STRNE(m_config->m_player[slot].get().name, m_config->m_player[2].get().name) << slot;
    menuTeardown(m_menu);
}
