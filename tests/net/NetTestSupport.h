#pragma once
// Test-side TCP ends that speak raw bytes, so that tests can play a server,
// a client or a hostile peer against the real classes on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "net/ValueOwners.h"
#include "sys/net/Socket.h"

namespace nettest {

using Bytes = std::vector<uint8_t>;

inline Bytes chunk(uint16_t nid, const Bytes& payload = {}) {
    Bytes out;
    uint16_t length = static_cast<uint16_t>(payload.size() + 4);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(nid));
    out.push_back(static_cast<uint8_t>(nid >> 8));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

inline Bytes u32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A game of records 25 + slot (four bytes), rider values 500 + rider, its settings at 20 and hits at 600.
class TestOwners : public ValueOwners {
public:
    int32_t ownerOf(uint16_t nid) const override {
        if (nid == 20) return 0;
        if (nid >= 25 && nid < 30) return nid - 25;
        if (nid >= 500 && nid < 505) return nid - 500;
        return ANY_PLAYER;
    }
    uint32_t sizeOf(uint16_t nid) const override { return nid == 20 || (nid >= 25 && nid < 30) ? 4 : nid < 700 ? 1 : 0; }
    uint16_t recordOf(int32_t slot) const override { return uint16_t(25 + slot); }
    std::vector<uint8_t> joiningRecord() const override { return {7, 7, 7, 7}; }
    std::vector<uint8_t> emptyRecord() const override { return {0, 0, 0, 0}; }
};

struct Chunk {
    uint16_t nid = 0;
    Bytes payload;
};

class RawPeer {
public:
    explicit RawPeer(int socket = -1) : m_socket(socket) {}
    RawPeer(RawPeer&& other) noexcept
        : m_socket(other.m_socket), m_pending(std::move(other.m_pending)), m_closed(other.m_closed) {
        other.m_socket = -1;
    }
    RawPeer& operator=(RawPeer&& other) noexcept {
        std::swap(m_socket, other.m_socket);
        std::swap(m_pending, other.m_pending);
        std::swap(m_closed, other.m_closed);
        return *this;
    }
    ~RawPeer() { close(); }

    // receiveBuffer: a small one makes a slow reader fill up sooner. from: the
    // loopback address to come from, 127.0.0.2 playing another machine.
    static RawPeer connectTo(uint16_t port, int receiveBuffer = 0, uint32_t timeoutMs = 3000,
                             const char* from = nullptr) {
        int s = sys::createTcpSocket();
        if (receiveBuffer > 0) setsockopt(s, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        if (from) {
            sockaddr_in source{};
            source.sin_family = AF_INET;
            inet_pton(AF_INET, from, &source.sin_addr);
            if (::bind(s, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
                sys::closeSocket(s);
                return RawPeer();
            }
        }
        uint32_t address = 0;
        sys::resolveHost("127.0.0.1", address, timeoutMs);
        if (!sys::connectSocket(s, address, port, timeoutMs)) {
            sys::closeSocket(s);
            return RawPeer();
        }
        sys::setNoDelay(s);
        return RawPeer(s);
    }

    bool isOpen() const { return m_socket >= 0; }
    bool send(const Bytes& bytes) {
        size_t sent = 0;
        return sys::sendSocket(m_socket, bytes.data(), bytes.size(), sent);
    }
    bool sendChunk(uint16_t nid, const Bytes& payload = {}) { return send(chunk(nid, payload)); }

    // Waits for one whole chunk; false on time-out or when the peer closed.
    bool read(Chunk& out, int timeoutMs = 3000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (m_pending.size() >= 4) {
                size_t length = m_pending[0] | (m_pending[1] << 8);
                if (length >= 4 && m_pending.size() >= length) {
                    out.nid = static_cast<uint16_t>(m_pending[2] | (m_pending[3] << 8));
                    out.payload.assign(m_pending.begin() + 4, m_pending.begin() + length);
                    m_pending.erase(m_pending.begin(), m_pending.begin() + length);
                    return true;
                }
            }
            int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
            if (left <= 0 || !receiveSome(left)) return false;
        }
    }
    // Reads chunks until one with nid arrives.
    bool readUntil(uint16_t nid, Chunk& out, int timeoutMs = 3000) {
        while (read(out, timeoutMs))
            if (out.nid == nid) return true;
        return false;
    }
    // True when nothing at all arrives within the time.
    bool quiet(int timeoutMs = 200) {
        return m_pending.empty() && !receiveSome(timeoutMs);
    }
    // True when the other side closes the connection within the time.
    bool closedByPeer(int timeoutMs = 3000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            if (!receiveSome(50) && m_closed) return true;
        }
        return m_closed;
    }
    // Throws away what has arrived, without waiting.
    void discardAvailable() {
        while (receiveSome(0)) m_pending.clear();
    }
    // Without waiting or reading: the other side has ended the connection.
    bool hungUp() const {
        pollfd p{m_socket, POLLRDHUP, 0};
        return m_socket >= 0 && poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR));
    }
    void close() {
        sys::closeSocket(m_socket);
        m_socket = -1;
    }
    int handle() const { return m_socket; }

private:
    bool receiveSome(int timeoutMs) {
        if (m_socket < 0 || m_closed) return false;
        pollfd p{m_socket, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return false;
        uint8_t buffer[65536];
        ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_closed = true;
            return false;
        }
        m_pending.insert(m_pending.end(), buffer, buffer + n);
        return true;
    }

    int m_socket = -1;
    Bytes m_pending;
    bool m_closed = false;
};

// A listening socket on a free loopback port, for playing the server.
class RawListener {
public:
    RawListener() {
        m_socket = sys::createTcpSocket();
        sys::setReuseAddress(m_socket);
        sys::bindAnyAddress(m_socket, 0);
        sys::listenSocket(m_socket);
        m_port = sys::boundPort(m_socket);
    }
    ~RawListener() { sys::closeSocket(m_socket); }
    uint16_t port() const { return m_port; }
    RawPeer accept(int timeoutMs = 3000) {
        pollfd p{m_socket, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return RawPeer();
        uint32_t peer = 0;
        return RawPeer(sys::acceptSocket(m_socket, peer));
    }

private:
    int m_socket = -1;
    uint16_t m_port = 0;
};

// A listener whose queue is full and never taken from: the kernel drops
// every further connection request unanswered, as a host that is gone does.
class FullListener {
public:
    FullListener() {
        m_socket = sys::createTcpSocket();
        sys::bindAnyAddress(m_socket, 0);
        ::listen(m_socket, 0);
        m_port = sys::boundPort(m_socket);
        // The first connect that hangs shows the queue is full.
        for (int i = 0; i < 8; ++i) {
            RawPeer peer = RawPeer::connectTo(m_port, 0, 300);
            if (!peer.isOpen()) return;
            m_queued.push_back(std::move(peer));
        }
    }
    ~FullListener() {
        m_queued.clear();
        sys::closeSocket(m_socket);
    }
    uint16_t port() const { return m_port; }

private:
    int m_socket = -1;
    uint16_t m_port = 0;
    std::vector<RawPeer> m_queued;
};

// Hostile peers on their own thread, each run again once the server let it go.
class HostilePeers {
public:
    using Run = std::function<void(RawPeer&)>;
    // open: connects the peer and says what it says first; step: what it does
    // every 100 ms while connected.
    HostilePeers(int count, Run open, Run step) : m_peers(count) {
        m_thread = std::thread([this, open, step] {
            while (!m_stop) {
                for (RawPeer& peer : m_peers) {
                    if (peer.isOpen() && peer.hungUp()) {
                        peer.close();
                        ++m_letGo;
                    }
                    if (!peer.isOpen()) open(peer);
                    if (peer.isOpen()) step(peer);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    ~HostilePeers() {
        m_stop = true;
        m_thread.join();
    }
    int letGo() const { return m_letGo; }

private:
    std::vector<RawPeer> m_peers;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_letGo{0};
    std::thread m_thread;
};

} // namespace nettest
