#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/menu/MessageWindow.h"
#include "engine/platform/gui/GuiContext.h"
#include "game/records/Config.h"
#include "sys/settings/SystemInfo.h"
#include "tests/app/menu/LanFixture.h"
#include "tests/net/NetTestSupport.h"

namespace {

using W = MultiplayerSelectScreen::Widget;

const char* const NO_GAME = "No game was found at that address. Check the address and make sure a game has been "
                            "hosted there.";

class LanSelectTest : public LanTest {
protected:
    void type(const std::string& keys) {
        for (char key : keys) m_gui.context.m_guiContext->injectChar(CEGUI::utf32(key));
    }
    // OK on the join choice: the text of the message that tells why it failed, closed again.
    std::string joinFailure(MultiplayerSelectScreen& select, const char* address) {
        chooseJoin(select, address);
        click(select.widget(W::OK_BUTTON));
        framesWhileConnecting(select);
        EXPECT_EQ(select.result(), -1);
        EXPECT_TRUE(select.message().isShown());
        const std::string reason = text(select.message().text());
        EXPECT_EQ(text(select.message().okButton()), "OK");
        click(select.message().okButton());
        EXPECT_FALSE(select.message().isShown());
        return reason;
    }
};

} // namespace

TEST_F(LanSelectTest, OffersTheComputersNameAndJoinsOnlyWithAnAddressOfItsAlphabet) {
    MultiplayerSelectScreen& select = openSelect();
    std::string name = sys::computerName().substr(0, 15);
    if (name.empty()) name = "localhost";
    CEGUI::Window* box = select.widget(W::ADDRESS);
    EXPECT_EQ(text(box), name);
    EXPECT_EQ(m_config->m_serverAddress, name);
    EXPECT_EQ(text(select.widget(W::HOST_LABEL)), "Host a game");
    // Hosting needs no address.
    EXPECT_FALSE(select.widget(W::OK_BUTTON)->isDisabled());
    EXPECT_TRUE(box->isDisabled());

    const int clicks = click()->plays;
    chooseJoin(select, "");
    EXPECT_EQ(click()->plays, clicks + 2) << "both radio buttons change";
    EXPECT_FALSE(box->isDisabled());
    EXPECT_TRUE(select.widget(W::OK_BUTTON)->isDisabled());
    EXPECT_EQ(m_config->m_serverAddress, "");
    CEGUI::WindowEventArgs args(box);
    box->fireEvent(CEGUI::Editbox::EventTextAccepted, args, CEGUI::Editbox::EventNamespace);
    EXPECT_EQ(select.result(), -1);
    EXPECT_FALSE(select.message().isShown());

    box->activate();
    type("my-box!_2");
    m_gui.context.m_guiContext->injectChar(0xE9);
    EXPECT_EQ(text(box), "my-box_2");
    EXPECT_FALSE(select.widget(W::OK_BUTTON)->isDisabled());
    type(std::string(40, 'x'));
    EXPECT_EQ(text(box).size(), 30u);

    // The address typed stays for the next visit.
    click(select.widget(W::BACK_BUTTON));
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    click(m_menu.mainMenu->button(MainMenuScreen::LAN));
    menuFrame(m_menu);
    EXPECT_EQ(text(box).substr(0, 8), "my-box_2");
    menuTeardown(m_menu);
}

TEST_F(LanSelectTest, EachFailureShowsItsReasonAndLeavesTheScreen) {
    MultiplayerSelectScreen& select = openSelect();
    // No game hosted yet: the lobby server refuses a joining player.
    EXPECT_EQ(joinFailure(select, "127.0.0.1"), "The game did not let you in. It may be full, or the race has "
                                                "already started.");

    // Nothing listens on the port: refused at once.
    uint16_t deadPort = 0;
    {
        nettest::RawListener gone;
        deadPort = gone.port();
    }
    NetControl::getInstance().setPort(deadPort);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(joinFailure(select, "127.0.0.1"), NO_GAME);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));

    // Another program on the port: it answers, but not as a lobby does.
    nettest::RawListener web;
    NetControl::getInstance().setPort(web.port());
    std::thread answering([&] {
        nettest::RawPeer peer = web.accept();
        nettest::Chunk hello;
        peer.read(hello);
        peer.send({'H', 'T', 'T', 'P', '/', '1', '.', '0', ' ', '4', '0', '0', '\r', '\n', '\r', '\n'});
    });
    EXPECT_EQ(joinFailure(select, "127.0.0.1"), NO_GAME);
    answering.join();

    // A server that drops the player before it answers.
    nettest::RawListener dropping;
    NetControl::getInstance().setPort(dropping.port());
    std::thread server([&] {
        nettest::RawPeer peer = dropping.accept();
        nettest::Chunk hello;
        peer.readUntil(NetProtocol::CHUNK_JOIN, hello);
    });
    EXPECT_EQ(joinFailure(select, "127.0.0.1"), "The connection to the network game was lost.");
    server.join();

    // Another copy of the game already hosts on this server: hosting fails, whatever the reason.
    NetControl::getInstance().setPort(port());
    NetControl otherHost;
    otherHost.setPort(port());
    ASSERT_TRUE(otherHost.connect("localhost", true));
    static_cast<CEGUI::ToggleButton*>(select.widget(W::HOST))->setSelected(true);
    click(select.widget(W::OK_BUTTON));
    framesWhileConnecting(select);
    EXPECT_EQ(select.result(), -1);
    ASSERT_TRUE(select.message().isShown());
    EXPECT_EQ(text(select.message().text()), "Could not host the game. Port " + std::to_string(port()) +
                                                 " may be blocked or in use by another program.");
    otherHost.disconnect();
    menuTeardown(m_menu);
}

TEST_F(LanSelectTest, ConnectingLeavesTheMenuDrawingAndItsCancelOrBackGivesTheAttemptUp) {
    MultiplayerSelectScreen& select = openSelect();
    // One frame of the menu, however long the other side keeps it waiting.
    auto frame = [&] {
        const auto start = std::chrono::steady_clock::now();
        menuFrame(m_menu);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    };
    auto connectAndSeeTheNotice = [&] {
        chooseJoin(select, "127.0.0.1");
        click(select.widget(W::OK_BUTTON));
        const auto start = std::chrono::steady_clock::now();
        while (!select.message().isShown() && std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
            frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(select.message().isShown());
        EXPECT_TRUE(select.isConnecting());
        EXPECT_EQ(text(select.message().text()), "Connecting to the network game...");
        EXPECT_EQ(text(select.message().okButton()), "Cancel");
        for (W w : {W::OK_BUTTON, W::HOST, W::JOIN, W::ADDRESS}) EXPECT_TRUE(select.widget(w)->isDisabled()) << w;
        EXPECT_FALSE(select.widget(W::BACK_BUTTON)->isDisabled());
        EXPECT_EQ(select.result(), -1);
    };

    // A computer that never answers the TCP connect: the notice's button gives up at once.
    {
        nettest::FullListener unanswering;
        NetControl::getInstance().setPort(unanswering.port());
        ASSERT_NO_FATAL_FAILURE(connectAndSeeTheNotice());
        const auto start = std::chrono::steady_clock::now();
        click(select.message().okButton());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_FALSE(select.isConnecting());
        EXPECT_FALSE(select.message().isShown());
        EXPECT_FALSE(select.widget(W::OK_BUTTON)->isDisabled());
        EXPECT_FALSE(select.widget(W::ADDRESS)->isDisabled());
        for (int i = 0; i < 5; ++i) frame();
        EXPECT_FALSE(select.message().isShown()) << "no failure told for an attempt given up";
    }

    // A program that takes the connection and says nothing: back leaves it, and the menu.
    nettest::RawListener silent;
    NetControl::getInstance().setPort(silent.port());
    ASSERT_NO_FATAL_FAILURE(connectAndSeeTheNotice());
    nettest::RawPeer peer = silent.accept();
    nettest::Chunk hello;
    ASSERT_TRUE(peer.read(hello));
    EXPECT_EQ(hello.nid, NetProtocol::CHUNK_JOIN);
    click(select.widget(W::BACK_BUTTON));
    EXPECT_FALSE(select.isConnecting());
    nettest::Chunk leave;
    EXPECT_TRUE(peer.read(leave, 1000));
    EXPECT_EQ(leave.nid, NetProtocol::CHUNK_LEAVE);
    EXPECT_TRUE(peer.closedByPeer(1000));
    frame();
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    EXPECT_FALSE(NetControl::getInstance().isConnected());
    menuTeardown(m_menu);
}
