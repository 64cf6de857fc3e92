#include "engine/platform/archive/StepCounter.h"

void StepCounter::count(const uint8_t* block, uint32_t until) {
    if (until > m_n) {
        m_overrun = true;
        return;
    }
    for (uint32_t i = m_counted; i < until; ++i) {
        const uint8_t b = block[i];
        m_steps[i] = m_counts[b]++ << 8 | b;
    }
    m_counted = until;
}
