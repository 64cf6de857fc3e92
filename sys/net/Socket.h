#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

// TCP over POSIX sockets, as wide as the game's networking needs. Addresses
// are IPv4 in network byte order, ports in host order.
namespace sys {

constexpr int INVALID_SOCKET_HANDLE = -1;

enum class ReceiveResult { DATA, CLOSED, TIMEOUT, FAILED };

// The Winsock start-up and release stand-ins: counted, nothing to set up here.
bool socketStartup();
void socketCleanup();
int socketUsers();

int createTcpSocket();
// First IPv4 address of a host name or dotted address. A lookup that takes
// longer than the time, or that the caller abandons (set from another
// thread), is left to finish on its own thread, unheard.
bool resolveHost(const char* host, uint32_t& address, uint32_t timeoutMs, const std::atomic<bool>* abandon = nullptr);
// False when the peer refuses, has not answered within the time, or the caller abandoned it.
bool connectSocket(int socket, uint32_t address, uint16_t port, uint32_t timeoutMs,
                   const std::atomic<bool>* abandon = nullptr);
bool setNoDelay(int socket);
bool setReuseAddress(int socket);
bool setSendTimeout(int socket, uint32_t milliseconds);
bool setReceiveTimeout(int socket, uint32_t milliseconds);
// A peer that answers no probe after `idle` quiet seconds, `probes` times `interval` apart, is gone.
bool setKeepAlive(int socket, int idleSeconds, int intervalSeconds, int probes);
bool bindAnyAddress(int socket, uint16_t port);
bool listenSocket(int socket);
// The port a bound socket holds; 0 when unknown.
uint16_t boundPort(int socket);
// Blocks; INVALID_SOCKET_HANDLE once the listener is shut down.
int acceptSocket(int listener, uint32_t& peer);
// received holds the byte count when the result is DATA.
ReceiveResult receiveSocket(int socket, uint8_t* buffer, size_t capacity, size_t& received);
// Sends all bytes, resuming partial sends; never raises SIGPIPE. sent tells
// how many left before a failure or a send time-out.
bool sendSocket(int socket, const uint8_t* data, size_t length, size_t& sent);
// Sends what the socket takes at once and never waits; false when the
// connection is broken. sent tells how many left.
bool sendAvailable(int socket, const uint8_t* data, size_t length, size_t& sent);
// The address is this machine's: loopback or one of its interfaces' own.
bool isOwnAddress(uint32_t address);
// Resets the connection at once and drops what the peer has not taken yet;
// wakes threads blocked on it as shutdownSocket does. The descriptor stays open.
void abortSocket(int socket);
// Both directions; wakes a thread blocked in accept or receive on it.
void shutdownSocket(int socket);
void closeSocket(int socket);

} // namespace sys
