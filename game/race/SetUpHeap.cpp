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
    // Threads share the one heap: a member a worker unpacks ahead is freed where
    // the meshes are built next, instead of every worker faulting in fresh pages
    // of a heap of its own (which made unpacking ahead slower than not). The C
    // library cannot go back to a heap a thread; the game's few threads allocate
    // little once it races.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, LARGE_BLOCK);
    mallopt(M_TRIM_THRESHOLD, KEPT_WHILE_SETTING_UP);
}

SetUpHeap::~SetUpHeap() { mallopt(M_TRIM_THRESHOLD, KEPT_AFTERWARDS); }
