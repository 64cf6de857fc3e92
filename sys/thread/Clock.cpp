#include "sys/thread/Clock.h"

#include <time.h>

namespace sys {

int64_t performanceCounter() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

int64_t performanceFrequency() { return 1000000000LL; }

uint32_t milliseconds() { return static_cast<uint32_t>(performanceCounter() / 1000000); }

} // namespace sys
