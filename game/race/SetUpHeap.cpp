#include "game/race/SetUpHeap.h"

#include <malloc.h>

namespace {

// The largest mapping threshold the C library accepts on every 64-bit system;
// the archive maps its own decoding buffers apart.
constexpr int LARGE_BLOCK = 32 << 20;
// Free memory at the heap's top kept for the next block while setting up.
constexpr int KEPT_TOP = 1 << 30;
// The C library's starting values of both.
constexpr int USUAL_LIMIT = 128 << 10;

} // namespace

SetUpHeap::SetUpHeap() {
    mallopt(M_MMAP_THRESHOLD, LARGE_BLOCK);
    mallopt(M_TRIM_THRESHOLD, KEPT_TOP);
}

SetUpHeap::~SetUpHeap() {
    mallopt(M_TRIM_THRESHOLD, USUAL_LIMIT);
    mallopt(M_MMAP_THRESHOLD, USUAL_LIMIT);
}
