#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The bytes one connection still owes its peer. What the socket takes at once
// leaves at once; the rest waits here for the queue's own writer thread, so
// whoever sends never waits on a peer that reads slowly or not at all. A peer
// is given up (its socket shut down) when the queue passes its limit or the
// socket takes nothing for its send time-out.
class SendQueue {
public:
    // sent: told every byte count that left, on whichever thread sent it.
    SendQueue(int socket, size_t limit, std::function<void(size_t)> sent);
    ~SendQueue();
    SendQueue(const SendQueue&) = delete;
    SendQueue& operator=(const SendQueue&) = delete;

    void start();
    // Never waits; false once the peer is given up.
    bool push(const uint8_t* data, size_t length);
    // Waits until all queued bytes left or the peer was given up, at most timeoutMs.
    void drain(uint32_t timeoutMs);
    // Ends the writer; the socket must be shut down first, so a blocked send returns.
    void stop();
    bool isGivenUp();
    // The most bytes ever waiting at once.
    size_t getPeak();

private:
    void writeLoop();
    void giveUp();
    size_t waiting() const { return m_queue.size() + m_writing; }

    int m_socket;
    size_t m_limit;
    std::function<void(size_t)> m_sent;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<uint8_t> m_queue;
    size_t m_writing = 0;  // bytes the writer has taken and not yet sent
    size_t m_peak = 0;
    bool m_givenUp = false;
    bool m_stopped = false;
    std::thread m_writer;
};
