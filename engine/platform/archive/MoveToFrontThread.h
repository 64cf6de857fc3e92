#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

struct MoveToFrontTable;
class StepCounter;

// Turns a member's move-to-front ranks back into bytes on a thread of its own
// while the range decoder is still filling the same buffer further on, so the
// decoder's one core does nothing but decode. With a counter it counts the
// block sort's steps from the bytes too, while they are in its cache.
class MoveToFrontThread {
public:
    MoveToFrontThread(uint8_t* data, MoveToFrontTable& table, StepCounter* counter);
    MoveToFrontThread(const MoveToFrontThread&) = delete;
    MoveToFrontThread& operator=(const MoveToFrontThread&) = delete;
    ~MoveToFrontThread();

    // The ranks below `count` are final and may be turned into bytes.
    void decoded(uint32_t count);
    // Returns once every rank handed over is a byte; the table then holds
    // the state after the last of them.
    void finish();

private:
    void run();

    uint8_t* const m_data;
    MoveToFrontTable& m_table;
    StepCounter* const m_counter;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    uint32_t m_decoded = 0;
    bool m_finishing = false;
    std::thread m_thread;
};
