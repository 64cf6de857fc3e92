#include "net/NetClient.h"

#include <chrono>

#include "sys/net/Socket.h"

NetClient::NetClient() { sys::socketStartup(); }

NetClient::~NetClient() {
    closeConnection();
    sys::socketCleanup();
}

bool NetClient::connect(const char* host, uint16_t port, uint32_t flags, const std::atomic<bool>* abandon) {
    closeConnection();
    auto start = std::chrono::steady_clock::now();
    uint32_t address = 0;
    if (!sys::resolveHost(host, address, CONNECT_TIMEOUT_MS, abandon)) return false;
    auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (spent.count() >= CONNECT_TIMEOUT_MS) return false;
    int socket = sys::createTcpSocket();
    if (socket == sys::INVALID_SOCKET_HANDLE) return false;
    if (!sys::connectSocket(socket, address, port, CONNECT_TIMEOUT_MS - static_cast<uint32_t>(spent.count()),
                            abandon)) {
        sys::closeSocket(socket);
        return false;
    }
    if (flags & FLAG_NO_DELAY) sys::setNoDelay(socket);
    sys::setSendTimeout(socket, SEND_TIMEOUT_MS);
    adoptSocket(socket);
    if (flags & FLAG_RECEIVE_THREAD) startReceiveThread();
    onConnect();
    return true;
}

void NetClient::onConnect() {}
