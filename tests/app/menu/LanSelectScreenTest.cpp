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

class LanSelectTest : public LanTest {
protected:
    void type(const std::string& keys) {
        for (char key : keys) m_gui.context.m_guiContext->injectChar(CEGUI::utf32(key));
    }
    // OK on the join choice: the text of the message that tells why it failed, closed again.
    std::string joinFailure(MultiplayerSelectScreen& select, const char* address) {
        chooseJoin(select, address);
        click(select.widget(W::OK_BUTTON));
        EXPECT_EQ(select.result(), -1);
        EXPECT_TRUE(select.message().isShown());
        const std::string reason = text(select.message().text());
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
    EXPECT_EQ(joinFailure(select, "127.0.0.1"), "The game did not let you in or did not answer. It may be full, or "
                                                "the race has already started.");

    // Nothing listens on the port: refused at once.
    uint16_t deadPort = 0;
    {
        nettest::RawListener gone;
        deadPort = gone.port();
    }
    NetControl::getInstance().setPort(deadPort);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(joinFailure(select, "127.0.0.1"),
              "Could not reach that computer. Check the address and make sure a game has been hosted there.");
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));

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
    EXPECT_EQ(select.result(), -1);
    ASSERT_TRUE(select.message().isShown());
    EXPECT_EQ(text(select.message().text()), "Could not host the game. Port " + std::to_string(port()) +
                                                 " may be blocked or in use by another program.");
    otherHost.disconnect();
    menuTeardown(m_menu);
}
