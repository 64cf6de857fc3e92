#pragma once
#include <chrono>
#include <functional>
#include <thread>

#include "app/menu/MainMenuScreen.h"
#include "app/menu/MultiplayerScreen.h"
#include "app/menu/MultiplayerSelectScreen.h"
#include "net/GameServer.h"
#include "tests/app/menu/MenuFixture.h"
#include "tests/app/menu/RemotePlayer.h"

// The menu in English with a lobby server of its own on a free port, which
// the game's network client is pointed at.
class LanTest : public MenuTest {
protected:
    LanTest() {
        EXPECT_TRUE(m_server.start());
        NetControl::getInstance().setPort(port());
    }
    ~LanTest() override {
        NetControl::getInstance().disconnect();
        NetControl::getInstance().setPort(NetProtocol::GAME_PORT);
        m_server.stop();
    }

    uint16_t port() const { return m_server.getBoundPort(); }
    MultiplayerSelectScreen& openSelect() {
        setUp(1);
        click(m_menu.mainMenu->button(MainMenuScreen::LAN));
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, m_menu.multiplayerSelect.get());
        return static_cast<MultiplayerSelectScreen&>(*m_menu.multiplayerSelect);
    }
    void chooseJoin(MultiplayerSelectScreen& select, const char* address) {
        auto* join = static_cast<CEGUI::ToggleButton*>(select.widget(MultiplayerSelectScreen::JOIN));
        join->setSelected(true);
        select.widget(MultiplayerSelectScreen::ADDRESS)->setText(address);
    }
    // Menu frames, the others' frames between them, until the condition holds; false after 5 s.
    bool framesUntil(const std::function<bool()>& condition, std::initializer_list<RemotePlayer*> others = {}) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            menuFrame(m_menu);
            for (RemotePlayer* other : others) other->frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // Menu frames while the screen connects in the background.
    void framesWhileConnecting(MultiplayerSelectScreen& select) {
        EXPECT_TRUE(framesUntil([&] { return !select.isConnecting(); }));
    }
    MultiplayerScreen& lobby() const { return *m_menu.multiplayer; }

    GameDaemon::GameServer m_server{0, 1000};
};
