#include "net/NetServer.h"

#include <cerrno>
#include <cstring>

#include "engine/platform/Report.h"
#include "sys/net/Socket.h"

NetServer::NetServer() { sys::socketStartup(); }

NetServer::~NetServer() {
    shutdownListener();
    closeAllConnections();
    closeConnection();
    sys::socketCleanup();
}

bool NetServer::listenOn(uint16_t port) {
    std::lock_guard<std::mutex> guard(m_connectionsLock);
    if (socketHandle() != sys::INVALID_SOCKET_HANDLE) return true;
    int socket = sys::createTcpSocket();
    if (socket == sys::INVALID_SOCKET_HANDLE) return false;
    // A restart must not wait for the last run's connections to leave TIME_WAIT.
    sys::setReuseAddress(socket);
    // An unbound socket is not kept, so the next attempt binds afresh.
    if (!sys::bindAnyAddress(socket, port) || !sys::listenSocket(socket)) {
        const int reason = errno;
        sys::closeSocket(socket);
        // Said once: the accept loop tries again every second. One write, as the accept thread shares the log.
        if (!m_listenFailed)
            g_logStream << formatStatic("cannot listen on port %u: %s\n", unsigned(port), std::strerror(reason));
        m_listenFailed = true;
        return false;
    }
    if (m_listenFailed) g_logStream << formatStatic("listening on port %u at last\n", unsigned(port));
    m_listenFailed = false;
    sys::setNoDelay(socket);
    m_boundPort = sys::boundPort(socket);
    adoptSocket(socket);
    if (m_listenerShut) endConnection();
    // Once only: the listening socket stays until the server goes, so no earlier tick waits on our lock.
    m_ticker.start(signOfLifePeriod(m_silenceLimitMs), [this] { tickConnections(); });
    return true;
}

bool NetServer::acceptConnection(uint16_t port) {
    if (!isConnected() && !listenOn(port)) return false;
    reapConnections();
    uint32_t peer = 0;
    int socket = sys::acceptSocket(socketHandle(), peer);
    if (socket == sys::INVALID_SOCKET_HANDLE) return false;
    if (!makeRoom()) {
        sys::closeSocket(socket);
        return true;
    }
    sys::setNoDelay(socket);
    std::unique_ptr<NetServerConnection> connection = createConnection(socket);
    connection->onConnect(peer);
    connection->start();
    std::lock_guard<std::mutex> guard(m_connectionsLock);
    m_connections.push_back(std::move(connection));
    return true;
}

std::unique_ptr<NetServerConnection> NetServer::createConnection(int socket) {
    return std::make_unique<NetServerConnection>(socket);
}

size_t NetServer::getConnectionCount() {
    std::lock_guard<std::mutex> guard(m_connectionsLock);
    return countOpen();
}

size_t NetServer::countOpen() {
    size_t open = 0;
    for (auto& connection : m_connections) open += !connection->isLeaving();
    return open;
}

bool NetServer::makeRoom() {
    std::lock_guard<std::mutex> guard(m_connectionsLock);
    if (countOpen() < MAX_CONNECTIONS) return true;
    // The list is in order of acceptance.
    for (auto& connection : m_connections) {
        if (connection->isLeaving() || !connection->mayGiveWay()) continue;
        connection->drop();
        return true;
    }
    return false;
}

void NetServer::shutdownListener() {
    std::lock_guard<std::mutex> guard(m_connectionsLock);
    m_listenerShut = true;
    endConnection();
}

void NetServer::tickConnections() {
    std::lock_guard<std::mutex> guard(m_connectionsLock);
    for (auto& connection : m_connections)
        if (!connection->isLeaving()) connection->onTick(m_silenceLimitMs);
}

void NetServer::closeAllConnections() {
    m_ticker.stop();
    std::vector<std::unique_ptr<NetServerConnection>> connections;
    {
        std::lock_guard<std::mutex> guard(m_connectionsLock);
        connections.swap(m_connections);
    }
    for (auto& connection : connections) connection->drop();
    for (auto& connection : connections) connection->close();
}

void NetServer::reapConnections() {
    std::vector<std::unique_ptr<NetServerConnection>> finished;
    {
        std::lock_guard<std::mutex> guard(m_connectionsLock);
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            if ((*it)->isFinished()) {
                finished.push_back(std::move(*it));
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& connection : finished) connection->close();
}
