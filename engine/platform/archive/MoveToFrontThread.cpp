#include "engine/platform/archive/MoveToFrontThread.h"

#include <system_error>

#include "engine/platform/archive/BlockSort.h"
#include "engine/platform/archive/StepCounter.h"

MoveToFrontThread::MoveToFrontThread(uint8_t* data, MoveToFrontTable& table, StepCounter* counter)
    : m_data(data), m_table(table), m_counter(counter) {
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // Without a thread, finish() turns them all on the caller's.
    }
}

MoveToFrontThread::~MoveToFrontThread() { finish(); }

void MoveToFrontThread::decoded(uint32_t count) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_decoded = count;
    }
    m_wake.notify_one();
}

void MoveToFrontThread::finish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_finishing) return;
        m_finishing = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
    else
        run();
}

void MoveToFrontThread::run() {
    uint32_t done = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_decoded != done || m_finishing; });
        const uint32_t until = m_decoded;
        if (until == done) return;
        lock.unlock();
        m_table.turn(m_data + done, until - done);
        if (m_counter) m_counter->count(m_data, until);
        done = until;
        lock.lock();
    }
}
