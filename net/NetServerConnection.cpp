#include "net/NetServerConnection.h"

#include "sys/net/Socket.h"

NetServerConnection::NetServerConnection(int socket)
    : m_sendQueue(socket, MAX_QUEUED_BYTES, [this](size_t count) { countSent(count); }) {
    sys::setSendTimeout(socket, SEND_TIMEOUT_MS);
    adoptSocket(socket);
}

NetServerConnection::~NetServerConnection() { close(); }

void NetServerConnection::onConnect(uint32_t) {}

bool NetServerConnection::mayGiveWay() { return false; }

void NetServerConnection::onTick(uint32_t) {}

void NetServerConnection::exitThread() {
    m_sendQueue.drain(SEND_TIMEOUT_MS);
    Net::exitThread();
}

void NetServerConnection::start() {
    m_sendQueue.start();
    startReceiveThread();
}

void NetServerConnection::drop() {
    m_dropped = true;
    sys::shutdownSocket(socketHandle());
}

// The writer goes before the socket is closed: it must never send on a reused descriptor.
void NetServerConnection::close() {
    endConnection();
    m_sendQueue.stop();
    closeConnection();
}

bool NetServerConnection::isLeaving() { return m_dropped || !isConnected() || m_sendQueue.isGivenUp(); }

bool NetServerConnection::send(SendQueue::Bytes bytes) { return m_sendQueue.push(std::move(bytes)); }
