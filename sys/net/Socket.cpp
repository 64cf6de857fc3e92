#include "sys/net/Socket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <system_error>
#include <thread>
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

// What a lookup thread hands back; shared, so a caller that gave up leaves it to the thread.
struct Lookup {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool found = false;
    uint32_t address = 0;
};

bool lookUpName(const std::string& host, uint32_t& address) {
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

int millisecondsLeft(std::chrono::steady_clock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits are cut into slices this long, so that a caller giving up is heard soon.
constexpr int ABANDON_SLICE_MS = 20;

int nextSlice(std::chrono::steady_clock::time_point end) { return std::min(millisecondsLeft(end), ABANDON_SLICE_MS); }

bool isAbandoned(const std::atomic<bool>* abandon) { return abandon && *abandon; }

// A connect under way on a non-blocking socket: true once it is made.
bool waitConnected(int socket, uint32_t timeoutMs, const std::atomic<bool>* abandon) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (isAbandoned(abandon)) return false;
        pollfd p{socket, POLLOUT, 0};
        int r = ::poll(&p, 1, nextSlice(end));
        if (r > 0) break;
        if (r < 0 && errno != EINTR) return false;
        if (millisecondsLeft(end) == 0) return false;
    }
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

// Resumes partial sends until all left or a send fails; errno then says why.
bool sendAll(int socket, const uint8_t* data, size_t length, size_t& sent, int flags) {
    sent = 0;
    while (sent < length) {
        ssize_t n = ::send(socket, data + sent, length - sent, MSG_NOSIGNAL | flags);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
    return true;
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

bool resolveHost(const char* host, uint32_t& address, uint32_t timeoutMs, const std::atomic<bool>* abandon) {
    if (!host || !*host) return false;
    in_addr dotted;
    if (inet_pton(AF_INET, host, &dotted) == 1) {
        address = dotted.s_addr;
        return true;
    }
    // getaddrinfo has no time-out of its own and may ask an unreachable name server for minutes.
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, name = std::string(host)] {
            uint32_t found = 0;
            bool ok = lookUpName(name, found);
            std::lock_guard<std::mutex> guard(lookup->lock);
            lookup->found = ok;
            lookup->address = found;
            lookup->finished = true;
            lookup->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(lookup->lock);
    while (!lookup->finished) {
        if (isAbandoned(abandon) || millisecondsLeft(end) == 0) return false;
        lookup->done.wait_for(lock, std::chrono::milliseconds(nextSlice(end)));
    }
    if (lookup->found) address = lookup->address;
    return lookup->found;
}

bool connectSocket(int socket, uint32_t address, uint16_t port, uint32_t timeoutMs,
                   const std::atomic<bool>* abandon) {
    int flags = fcntl(socket, F_GETFL, 0);
    if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) != 0) return false;
    sockaddr_in sa = ipv4Address(address, port);
    bool connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
    // An interrupted connect goes on in the background, as one in progress does.
    if (!connected && (errno == EINPROGRESS || errno == EINTR)) connected = waitConnected(socket, timeoutMs, abandon);
    // The receive thread and the send time-out count on a blocking socket.
    return fcntl(socket, F_SETFL, flags) == 0 && connected;
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

bool setKeepAlive(int socket, int idleSeconds, int intervalSeconds, int probes) {
    const int on = 1;
    return setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) == 0 &&
           setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds) == 0 &&
           setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds) == 0 &&
           setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes) == 0;
}

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
    return sendAll(socket, data, length, sent, 0);
}

bool sendAvailable(int socket, const uint8_t* data, size_t length, size_t& sent) {
    return sendAll(socket, data, length, sent, MSG_DONTWAIT) || errno == EAGAIN || errno == EWOULDBLOCK;
}

bool isOwnAddress(uint32_t address) {
    if (address == htonl(INADDR_LOOPBACK)) return true;
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return false;
    bool own = false;
    for (const ifaddrs* i = interfaces; i && !own; i = i->ifa_next)
        own = i->ifa_addr && i->ifa_addr->sa_family == AF_INET &&
              reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr == address;
    freeifaddrs(interfaces);
    return own;
}

void abortSocket(int socket) {
    if (socket < 0) return;
    // Connecting a TCP socket to AF_UNSPEC disconnects it with a reset.
    sockaddr unspecified;
    std::memset(&unspecified, 0, sizeof unspecified);
    unspecified.sa_family = AF_UNSPEC;
    ::connect(socket, &unspecified, sizeof unspecified);
    // The disconnect clears the shutdown flags; setting them again wakes every waiter.
    ::shutdown(socket, SHUT_RDWR);
}

void shutdownSocket(int socket) {
    if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
}

void closeSocket(int socket) {
    if (socket >= 0) ::close(socket);
}

} // namespace sys
