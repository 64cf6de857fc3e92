#include "net/NetClient.h"

#include "sys/net/Socket.h"

NetClient::NetClient() { sys::socketStartup(); }

NetClient::~NetClient() {
    closeConnection();
    sys::socketCleanup();
}

bool NetClient::connect(const char* host, uint16_t port, uint32_t flags) {
    closeConnection();
    uint32_t address = 0;
    if (!sys::resolveHost(host, address)) return false;
    int socket = sys::createTcpSocket();
    if (socket == sys::INVALID_SOCKET_HANDLE) return false;
    if (!sys::connectSocket(socket, address, port)) {
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
