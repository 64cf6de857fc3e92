#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "net/Net.h"
#include "net/NetServerConnection.h"
#include "sys/thread/Ticker.h"

// A listening socket that accepts one connection per call and owns the
// accepted connections until their threads have ended.
class NetServer : public Net {
public:
    // At most this many connections hold a place; beyond it a new one takes
    // the place of the oldest that may give way, or is closed at once.
    static constexpr size_t MAX_CONNECTIONS = 16;

    NetServer();
    ~NetServer() override;

    // Binds and listens on port (0: any free one); false when that fails.
    bool listenOn(uint16_t port);
    // Accepts one connection (blocking); binds first when not yet listening.
    bool acceptConnection(uint16_t port);
    virtual std::unique_ptr<NetServerConnection> createConnection(int socket);

    uint16_t getBoundPort() const { return m_boundPort; }
    // Handed to every connection's onTick, which the server calls once a
    // sign-of-life period from its own thread while it listens.
    void setSilenceLimit(uint32_t milliseconds) { m_silenceLimitMs = milliseconds; }
    uint32_t getSilenceLimit() const { return m_silenceLimitMs; }
    // Connections holding a place (not leaving).
    size_t getConnectionCount();
    // Wakes a blocked accept; later accepts fail.
    void shutdownListener();
    // Shuts every connection down and waits for all their threads.
    void closeAllConnections();

protected:
    // Joins and frees the connections whose threads have ended.
    void reapConnections();

private:
    // False when every place is held by a connection that may not give way.
    bool makeRoom();
    // Under m_connectionsLock.
    size_t countOpen();
    void tickConnections();
    std::mutex m_connectionsLock;
    std::vector<std::unique_ptr<NetServerConnection>> m_connections;
    bool m_listenerShut = false;
    bool m_listenFailed = false; // since the last listen that worked; under m_connectionsLock
    std::atomic<uint16_t> m_boundPort{0};
    std::atomic<uint32_t> m_silenceLimitMs{SILENCE_LIMIT_MS};
    sys::Ticker m_ticker;
};
