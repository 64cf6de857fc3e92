#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The bytes one connection still owes its peer. What the socket takes at once
// leaves at once; the rest waits here for the queue's own writer thread, so
// whoever sends never waits on a peer that reads slowly or not at all. A peer
// is given up (its socket shut down) when the queue passes its limit or the
// socket takes nothing for its send time-out. Queued chunks are shared, not
// copied: the same stored value may wait for several peers at once.
class SendQueue {
public:
    using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

    // sent: told every byte count that left, on whichever thread sent it.
    SendQueue(int socket, size_t limit, std::function<void(size_t)> sent);
    ~SendQueue();
    SendQueue(const SendQueue&) = delete;
    SendQueue& operator=(const SendQueue&) = delete;

    void start();
    // Never waits; false once the peer is given up.
    bool push(Bytes bytes);
    // Waits until all queued bytes left or the peer was given up, at most timeoutMs.
    void drain(uint32_t timeoutMs);
    // Ends the writer; the socket must be shut down first, so a blocked send returns.
    void stop();
    bool isGivenUp();
    // The most bytes ever waiting at once.
    size_t getPeak();

private:
    // A chunk and how much of it has left already.
    struct Part {
        Bytes bytes;
        size_t sent;
    };

    void writeLoop();
    void giveUp();
    size_t waiting() const { return m_queued + m_writing; }

    int m_socket;
    size_t m_limit;
    std::function<void(size_t)> m_sent;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Part> m_queue;
    size_t m_queued = 0;   // bytes in m_queue not yet sent
    size_t m_writing = 0;  // bytes the writer has taken and not yet sent
    size_t m_peak = 0;
    bool m_givenUp = false;
    bool m_stopped = false;
    std::thread m_writer;
};
