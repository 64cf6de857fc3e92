#include "app/lobby/LanConnectAttempt.h"

#include "engine/platform/Report.h"
#include "net/NetControl.h"

LanConnectAttempt::LanConnectAttempt(const std::string& host, bool isHost) : m_host(host) {
    m_thread = std::thread([this, isHost] {
        m_welcomed = NetControl::getInstance().connect(m_host.c_str(), isHost, &m_abandon);
        m_finished = true;
    });
}

LanConnectAttempt::~LanConnectAttempt() {
    m_abandon = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_outcome != CONNECTING) return;
    // A welcome that came as the player gave up is given back.
    if (m_welcomed) NetControl::getInstance().disconnect();
    g_logStream << "connecting to " << m_host << " abandoned" << std::endl;
}

LanConnectAttempt::Outcome LanConnectAttempt::poll() {
    if (m_outcome != CONNECTING || !m_finished) return m_outcome;
    m_thread.join();
    m_outcome = m_welcomed ? WELCOMED : FAILED;
    return m_outcome;
}
