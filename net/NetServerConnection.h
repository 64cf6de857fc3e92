#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "net/Net.h"
#include "net/SendQueue.h"

// One accepted connection with its own receive thread and send queue. Its
// server owns it and reaps it once the thread has ended.
class NetServerConnection : public Net {
public:
    // Far above what a race or the replay of every stored value queues for a
    // peer that reads; a peer that falls this far behind is cut off.
    static constexpr size_t MAX_QUEUED_BYTES = 4u << 20;

    explicit NetServerConnection(int socket);
    ~NetServerConnection() override;

    // peer: the IPv4 address in network byte order.
    virtual void onConnect(uint32_t peer);
    // When every place is taken: true lets this connection go for a new one.
    virtual bool mayGiveWay();
    // Once a sign-of-life period, on the server's ticker thread, while not leaving.
    virtual void onTick(uint32_t silenceLimitMs);
    // What is queued goes out first, for at most the send time-out.
    void exitThread() override;

    void start();
    // Wakes the receive thread; the connection then ends on that thread.
    void drop();
    void close();
    bool isFinished() const { return isReceiveThreadDone(); }
    // Dropped, given up or ended: no longer holds a place.
    bool isLeaving();
    // Never waits for the peer; false once the peer is cut off.
    bool send(SendQueue::Bytes bytes);
    size_t getPeakQueued() { return m_sendQueue.getPeak(); }

private:
    SendQueue m_sendQueue;
    std::atomic<bool> m_dropped{false};
};
