#include "sys/thread/Ticker.h"

namespace sys {

Ticker::~Ticker() { stop(); }

void Ticker::start(std::chrono::milliseconds period, std::function<void()> tick) {
    stop();
    m_tick = std::move(tick);
    m_stopped = false;
    m_thread = std::thread(&Ticker::run, this, period);
}

void Ticker::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void Ticker::run(std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, period, [this] { return m_stopped; })) {
        lock.unlock();
        m_tick();
        lock.lock();
    }
}

} // namespace sys
