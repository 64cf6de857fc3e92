#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

// One TCP endpoint with its receive thread and byte counters; the base of the
// client and of the server's connections. The thread hands every received
// block to onReceive and ends when the socket is shut down or the peer leaves.
class Net {
public:
    static constexpr uint32_t RECEIVE_BLOCK = 4096;
    // A peer that takes nothing for this long is cut off rather than stall us.
    static constexpr uint32_t SEND_TIMEOUT_MS = 2000;
    // A peer that sends nothing at all for this long is gone: a relay or a
    // router may answer TCP keep-alive long after the far end vanished.
    static constexpr uint32_t SILENCE_LIMIT_MS = 15000;
    // Signs of life go this many times within the limit, so a few lost to a busy machine do no harm.
    static constexpr uint32_t SIGNS_PER_LIMIT = 10;
    static std::chrono::milliseconds signOfLifePeriod(uint32_t silenceLimitMs);

    Net(const Net&) = delete;
    Net& operator=(const Net&) = delete;
    virtual ~Net();

    // Receive thread: one block of received bytes; answers the count taken.
    virtual int32_t onReceive(const uint8_t* data, int32_t length);
    // Runs exactly once when a connection ends, on whichever thread ends it.
    virtual void onDisconnect();
    virtual bool isConnected() const;
    virtual uint64_t getTotalBytesReceived() const;
    virtual uint64_t getTotalBytesSent() const;
    virtual uint64_t getTotalBytes() const;
    virtual uint32_t getBytesReceived() const;
    virtual uint32_t getBytesSent() const;
    virtual uint32_t getBytes() const;
    // Ends the connection: onDisconnect, socket shut down, connected cleared.
    // Called on the receive thread, that thread then returns from its loop.
    virtual void exitThread();
    // Receive thread, after a receive time-out (only sockets given one): true
    // keeps waiting, false ends the connection.
    virtual bool onIdle();
    // Since the peer's last byte, or since the connection began.
    uint32_t msSinceReceived() const;
    // Since the last byte left for the peer, or since the connection began.
    uint32_t msSinceSent() const;

protected:
    Net();

    // Adopts an open socket: connected is set, no thread runs yet.
    void adoptSocket(int socket);
    void startReceiveThread();
    // Shuts the connection down, waits for the receive thread and closes the
    // socket; never call it on the receive thread itself.
    void closeConnection();
    // onDisconnect (once per connection), socket shut down, connected cleared.
    void endConnection();
    // Sends every byte or fails; a failure leaves the stream unusable.
    bool sendBytes(const uint8_t* data, size_t length);
    void countReceived(uint64_t count);
    void countSent(uint64_t count);
    int socketHandle() const { return m_socket; }
    bool isReceiveThreadDone() const { return m_threadDone; }

private:
    void receiveLoop();

    std::thread m_thread;
    int m_socket = -1;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_ended{true};
    std::atomic<bool> m_threadDone{true};
    std::atomic<uint64_t> m_bytesReceived{0};
    std::atomic<uint64_t> m_bytesSent{0};
    // Steady clock, in milliseconds.
    std::atomic<int64_t> m_lastReceived{0};
    std::atomic<int64_t> m_lastSent{0};
};
