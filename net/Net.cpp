#include "net/Net.h"

#include <algorithm>

#include "sys/net/Socket.h"

namespace {

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t msSince(int64_t then) { return static_cast<uint32_t>(std::max<int64_t>(0, nowMs() - then)); }

} // namespace

std::chrono::milliseconds Net::signOfLifePeriod(uint32_t silenceLimitMs) {
    return std::chrono::milliseconds(std::max<uint32_t>(1, silenceLimitMs / SIGNS_PER_LIMIT));
}

Net::Net() = default;

Net::~Net() { closeConnection(); }

int32_t Net::onReceive(const uint8_t*, int32_t) { return 0; }

void Net::onDisconnect() {}

bool Net::isConnected() const { return m_connected; }

uint64_t Net::getTotalBytesReceived() const { return m_bytesReceived; }

uint64_t Net::getTotalBytesSent() const { return m_bytesSent; }

uint64_t Net::getTotalBytes() const { return getTotalBytesReceived() + getTotalBytesSent(); }

uint32_t Net::getBytesReceived() const { return static_cast<uint32_t>(m_bytesReceived); }

uint32_t Net::getBytesSent() const { return static_cast<uint32_t>(m_bytesSent); }

uint32_t Net::getBytes() const { return getBytesReceived() + getBytesSent(); }

void Net::exitThread() { endConnection(); }

bool Net::onIdle() { return true; }

uint32_t Net::msSinceReceived() const { return msSince(m_lastReceived); }

uint32_t Net::msSinceSent() const { return msSince(m_lastSent); }

void Net::adoptSocket(int socket) {
    m_socket = socket;
    m_lastReceived = m_lastSent = nowMs();
    m_ended = false;
    m_connected = true;
}

void Net::startReceiveThread() {
    m_threadDone = false;
    m_thread = std::thread(&Net::receiveLoop, this);
}

void Net::endConnection() {
    if (m_ended.exchange(true)) return;
    onDisconnect();
    sys::shutdownSocket(m_socket);
    m_connected = false;
}

void Net::closeConnection() {
    endConnection();
    if (m_thread.joinable()) m_thread.join();
    sys::closeSocket(m_socket);
    m_socket = sys::INVALID_SOCKET_HANDLE;
}

bool Net::sendBytes(const uint8_t* data, size_t length) {
    size_t sent = 0;
    bool ok = m_socket >= 0 && sys::sendSocket(m_socket, data, length, sent);
    countSent(sent);
    // Part of a chunk may have left: nothing can follow it on this stream.
    if (!ok) sys::shutdownSocket(m_socket);
    return ok;
}

void Net::countReceived(uint64_t count) {
    m_bytesReceived += count;
    if (count > 0) m_lastReceived = nowMs();
}

void Net::countSent(uint64_t count) {
    m_bytesSent += count;
    if (count > 0) m_lastSent = nowMs();
}

void Net::receiveLoop() {
    uint8_t buffer[RECEIVE_BLOCK] = {};
    while (!m_ended) {
        size_t received = 0;
        sys::ReceiveResult result = sys::receiveSocket(m_socket, buffer, sizeof buffer, received);
        if (result == sys::ReceiveResult::TIMEOUT) {
            if (onIdle()) continue;
            break;
        }
        if (result != sys::ReceiveResult::DATA) break;
        countReceived(received);
        onReceive(buffer, static_cast<int32_t>(received));
    }
    endConnection();
    m_threadDone = true;
}
