#pragma once
#include <cstdint>

// The inverse block sort's steps counted while a member is still being
// decoded: step i holds byte i of the block above how many of the same byte
// came before it, so the sort afterwards only adds where each byte's rows
// begin, and the counting pass over the member is gone from its path.
class StepCounter {
public:
    // `steps` holds n 32-bit steps.
    StepCounter(uint32_t* steps, uint32_t n) : m_steps(steps), m_n(n) {}

    // Counts the block's bytes from where the last call ended up to `until`.
    void count(const uint8_t* block, uint32_t until);
    // True when exactly the block's n bytes were counted.
    bool complete(uint32_t n) const { return !m_overrun && m_counted == n && m_n == n; }
    const uint32_t* counts() const { return m_counts; }

private:
    uint32_t* const m_steps;
    const uint32_t m_n;
    uint32_t m_counted = 0;
    bool m_overrun = false;
    uint32_t m_counts[256] = {};
};
