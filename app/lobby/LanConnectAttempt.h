#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// The game's network client connecting to a lobby on a thread of its own,
// so that the menu goes on drawing and answering while a far computer, or
// one that is no lobby, keeps it waiting. Destroying an attempt still under
// way abandons it: the client gives up within a moment and leaves again.
class LanConnectAttempt {
public:
    enum Outcome { CONNECTING, WELCOMED, FAILED };

    LanConnectAttempt(const std::string& host, bool isHost);
    ~LanConnectAttempt();
    LanConnectAttempt(const LanConnectAttempt&) = delete;
    LanConnectAttempt& operator=(const LanConnectAttempt&) = delete;

    // Once a frame on the menu's thread. WELCOMED hands the connection over to
    // the caller; FAILED leaves the reason in the client's status.
    Outcome poll();

private:
    std::string m_host;
    std::thread m_thread;
    std::atomic<bool> m_abandon{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_welcomed{false}; // written by the thread until m_finished
    Outcome m_outcome = CONNECTING;
};
