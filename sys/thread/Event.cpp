#include "sys/thread/Event.h"

#include <chrono>

namespace sys {

void Event::set() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = true;
    }
    m_condition.notify_one();
}

bool Event::wait(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    bool signalled = m_condition.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_signalled; });
    m_signalled = false;
    return signalled;
}

} // namespace sys
