#include "game/race/SetUpHeap.h"

#include <malloc.h>

namespace {

// The largest mapping threshold the C library accepts, and reaches by itself, on
// 64-bit systems; the archive maps its own decoding buffers apart.
constexpr int LARGE_BLOCK = 32 << 20;
// Free memory at the heap's top kept for the next block while setting up.
constexpr int KEPT_WHILE_SETTING_UP = 1 << 30;
// What the C library keeps at the top with the largest threshold.
constexpr int KEPT_AFTERWARDS = 2 * LARGE_BLOCK;

} // namespace

SetUpHeap::SetUpHeap() {
    mallopt(M_MMAP_THRESHOLD, LARGE_BLOCK);
    mallopt(M_TRIM_THRESHOLD, KEPT_WHILE_SETTING_UP);
}

SetUpHeap::~SetUpHeap() { mallopt(M_TRIM_THRESHOLD, KEPT_AFTERWARDS); }
