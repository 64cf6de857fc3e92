#include "sys/net/Socket.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sys {

namespace {

std::atomic<int> g_socketUsers{0};

bool setOption(int socket, int level, int name, const void* value, socklen_t size) {
    return socket >= 0 && setsockopt(socket, level, name, value, size) == 0;
}

bool setTimeout(int socket, int name, uint32_t milliseconds) {
    timeval tv;
    tv.tv_sec = milliseconds / 1000;
    tv.tv_usec = static_cast<suseconds_t>(milliseconds % 1000) * 1000;
    return setOption(socket, SOL_SOCKET, name, &tv, sizeof tv);
}

sockaddr_in ipv4Address(uint32_t address, uint16_t port) {
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = address;
    sa.sin_port = htons(port);
    return sa;
}

} // namespace

bool socketStartup() {
    ++g_socketUsers;
    return true;
}

void socketCleanup() {
    if (g_socketUsers > 0) --g_socketUsers;
}

int socketUsers() { return g_socketUsers; }

int createTcpSocket() {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return s < 0 ? INVALID_SOCKET_HANDLE : s;
}

bool resolveHost(const char* host, uint32_t& address) {
    if (!host || !*host) return false;
    in_addr dotted;
    if (inet_pton(AF_INET, host, &dotted) == 1) {
        address = dotted.s_addr;
        return true;
    }
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

bool connectSocket(int socket, uint32_t address, uint16_t port) {
    sockaddr_in sa = ipv4Address(address, port);
    int r;
    do {
        r = ::connect(socket, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

bool setNoDelay(int socket) {
    int on = 1;
    return setOption(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool setReuseAddress(int socket) {
    int on = 1;
    return setOption(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

bool setSendTimeout(int socket, uint32_t milliseconds) { return setTimeout(socket, SO_SNDTIMEO, milliseconds); }

bool setReceiveTimeout(int socket, uint32_t milliseconds) { return setTimeout(socket, SO_RCVTIMEO, milliseconds); }

bool bindAnyAddress(int socket, uint16_t port) {
    sockaddr_in sa = ipv4Address(htonl(INADDR_ANY), port);
    return ::bind(socket, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

bool listenSocket(int socket) { return ::listen(socket, SOMAXCONN) == 0; }

uint16_t boundPort(int socket) {
    sockaddr_in sa;
    socklen_t size = sizeof sa;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&sa), &size) != 0) return 0;
    return ntohs(sa.sin_port);
}

int acceptSocket(int listener, uint32_t& peer) {
    for (;;) {
        sockaddr_in sa;
        socklen_t size = sizeof sa;
        int s = ::accept4(listener, reinterpret_cast<sockaddr*>(&sa), &size, SOCK_CLOEXEC);
        if (s >= 0) {
            peer = sa.sin_addr.s_addr;
            return s;
        }
        // A peer that gave up before we took it is no reason to stop listening.
        if (errno != EINTR && errno != ECONNABORTED) return INVALID_SOCKET_HANDLE;
    }
}

ReceiveResult receiveSocket(int socket, uint8_t* buffer, size_t capacity, size_t& received) {
    for (;;) {
        ssize_t n = ::recv(socket, buffer, capacity, 0);
        if (n > 0) {
            received = static_cast<size_t>(n);
            return ReceiveResult::DATA;
        }
        if (n == 0) return ReceiveResult::CLOSED;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReceiveResult::TIMEOUT;
        return ReceiveResult::FAILED;
    }
}

bool sendSocket(int socket, const uint8_t* data, size_t length, size_t& sent) {
    sent = 0;
    while (sent < length) {
        ssize_t n = ::send(socket, data + sent, length - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
    return true;
}

void shutdownSocket(int socket) {
    if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
}

void closeSocket(int socket) {
    if (socket >= 0) ::close(socket);
}

} // namespace sys
