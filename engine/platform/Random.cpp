#include "engine/platform/Random.h"

#include <cstdint>

namespace {

thread_local uint32_t t_state = 1;

} // namespace

int Random::next() {
    t_state = t_state * 214013u + 2531011u;
    return static_cast<int>((t_state >> 16) & MAX);
}

void Random::reset() { t_state = 1; }
