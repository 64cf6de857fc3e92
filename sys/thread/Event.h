#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace sys {

// Auto-reset event: one set wakes one wait, and a set with no waiter is kept
// until the next wait takes it.
class Event {
public:
    void set();
    // True when the event was set, false when the time ran out.
    bool wait(uint32_t timeoutMs);

private:
    std::mutex m_mutex;
    std::condition_variable m_condition;
    bool m_signalled = false;
};

} // namespace sys
