#pragma once
#include <cstdint>

namespace sys {

// High-resolution monotonic counter and its ticks per second.
int64_t performanceCounter();
int64_t performanceFrequency();

// Milliseconds since an arbitrary start, the coarse clock.
uint32_t milliseconds();

} // namespace sys
