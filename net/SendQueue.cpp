#include "net/SendQueue.h"

#include <algorithm>
#include <chrono>

#include "sys/net/Socket.h"

SendQueue::SendQueue(int socket, size_t limit, std::function<void(size_t)> sent)
    : m_socket(socket), m_limit(limit), m_sent(std::move(sent)) {}

SendQueue::~SendQueue() { stop(); }

void SendQueue::start() { m_writer = std::thread(&SendQueue::writeLoop, this); }

bool SendQueue::push(Bytes bytes) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_givenUp || m_stopped) return false;
    size_t length = bytes->size();
    size_t taken = 0;
    // Nothing may overtake bytes still waiting.
    if (waiting() == 0) {
        bool open = sys::sendAvailable(m_socket, bytes->data(), length, taken);
        if (taken > 0) m_sent(taken);
        if (!open) {
            giveUp();
            return false;
        }
        if (taken == length) return true;
    }
    if (waiting() + length - taken > m_limit) {
        giveUp();
        return false;
    }
    m_queue.push_back({std::move(bytes), taken});
    m_queued += length - taken;
    m_peak = std::max(m_peak, waiting());
    m_wake.notify_all();
    return true;
}

void SendQueue::drain(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(m_lock);
    m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                    [this] { return m_givenUp || m_stopped || waiting() == 0; });
}

void SendQueue::stop() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopped = true;
    }
    m_wake.notify_all();
    if (m_writer.joinable()) m_writer.join();
}

bool SendQueue::isGivenUp() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_givenUp;
}

size_t SendQueue::getPeak() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_peak;
}

void SendQueue::writeLoop() {
    std::deque<Part> batch;
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_givenUp || m_stopped || !m_queue.empty(); });
        if (m_givenUp || m_stopped) return;
        batch.swap(m_queue);
        m_writing = m_queued;
        m_queued = 0;
        lock.unlock();
        // Blocks at most the socket's send time-out while the peer takes nothing.
        bool ok = true;
        for (const Part& part : batch) {
            size_t sent = 0;
            ok = sys::sendSocket(m_socket, part.bytes->data() + part.sent, part.bytes->size() - part.sent, sent);
            if (sent > 0) m_sent(sent);
            if (!ok) break;
        }
        batch.clear();
        lock.lock();
        m_writing = 0;
        if (!ok) giveUp();
        m_wake.notify_all();
    }
}

// Part of a chunk may have left: nothing can follow it on this stream, and
// what the kernel still holds for the peer is dropped with the connection.
void SendQueue::giveUp() {
    if (m_givenUp) return;
    m_givenUp = true;
    m_queue.clear();
    m_queued = 0;
    sys::abortSocket(m_socket);
    m_wake.notify_all();
}
