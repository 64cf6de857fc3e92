#pragma once
#include <cstdint>

// One step of a chooser over low..high, wrapping at both ends; a value from
// outside the range lands inside it.
inline int32_t chooserStep(int32_t value, int32_t low, int32_t high, bool forward) {
    const int32_t step = forward ? value + 1 : value - 1;
    if (step >= low && step <= high) return step;
    return forward ? low : high;
}
