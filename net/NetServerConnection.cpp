#include "net/NetServerConnection.h"

#include "sys/net/Socket.h"

NetServerConnection::NetServerConnection(int socket) {
    sys::setSendTimeout(socket, SEND_TIMEOUT_MS);
    adoptSocket(socket);
}

NetServerConnection::~NetServerConnection() { closeConnection(); }

void NetServerConnection::onConnect(uint32_t) {}

void NetServerConnection::drop() { sys::shutdownSocket(socketHandle()); }

bool NetServerConnection::send(const uint8_t* data, size_t length) { return sendBytes(data, length); }
