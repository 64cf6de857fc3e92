#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace sys {

// Calls a function once a period on a thread of its own, whatever the rest of
// the program is doing, until stopped.
class Ticker {
public:
    Ticker() = default;
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

    // A ticker already running is stopped first.
    void start(std::chrono::milliseconds period, std::function<void()> tick);
    // Waits for a tick under way: never from the tick itself.
    void stop();

private:
    void run(std::chrono::milliseconds period);

    std::function<void()> m_tick;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = true;
    std::thread m_thread;
};

} // namespace sys
