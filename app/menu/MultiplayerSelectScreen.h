#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

#include "app/menu/GuiScreen.h"

class LanConnectAttempt;
class MessageWindow;

// The first screen of a LAN game: host a game on this computer (its own lobby
// server, reached as "localhost") or join one at a typed address. It connects
// the game's network client in the background, saying so when that takes a
// moment; its Cancel or the back button gives the attempt up. Once the lobby
// server lets it in, it reports HOSTED or JOINED and the menu opens the lobby.
// A refusal or a failed connection shows why in a modal message and leaves
// the screen as it was.
class MultiplayerSelectScreen : public GuiScreen {
public:
    static constexpr const char* NAME = "MultiplayerSelectScreen";
    static constexpr int32_t BACK = 1;
    static constexpr int32_t HOSTED = 105;
    static constexpr int32_t JOINED = 106;
    // A computer's name as the system lends it: 15 characters at most.
    static constexpr size_t NAME_LENGTH = 15;
    // A quicker answer needs no notice.
    static constexpr std::chrono::milliseconds NOTICE_DELAY{250};
    // Windows in the order of creation.
    enum Widget { BACK_BUTTON, OK_BUTTON, HOST, HOST_LABEL, JOIN, JOIN_LABEL, ADDRESS_LABEL, ADDRESS, WIDGETS };

    explicit MultiplayerSelectScreen(Menu* owner);
    ~MultiplayerSelectScreen() override;

    const char* name() const override { return NAME; }
    // The texts in the menu's language, the last address, OK and the box by the role.
    void enter() override;
    // Gives up a connection under way.
    void leave() override;
    // Each menu frame: the connection's outcome once it came.
    void poll();
    bool isConnecting() const { return m_attempt != nullptr; }

    CEGUI::Window* widget(Widget w) const { return m_widgets[w]; }
    MessageWindow& message() const { return *m_message; }

private:
    // Host chosen: OK, no address. Join chosen: the address, OK once it has one.
    void updateRoleWidgets();
    void onOk();
    // Connects as a joining player to the typed address: JOINED, or the reason it failed.
    void join();
    void startAttempt(const CEGUI::String& host, bool isHost);
    void abandon();
    // The role, the address and OK take no input while connecting.
    void enableChoices(bool enabled);
    void showFailure();
    bool isJoinChosen() const;
    CEGUI::String address() const;

    CEGUI::Window* m_widgets[WIDGETS] = {};
    std::unique_ptr<MessageWindow> m_message;
    std::unique_ptr<LanConnectAttempt> m_attempt;
    bool m_attemptHosts = false;
    std::chrono::steady_clock::time_point m_attemptStarted;
};
