#pragma once

// While a race is set up, large blocks stay in the heap instead of going back
// to the system on every free: set-up unpacks members and builds vertex arrays
// of megabytes one after another, and fresh pages from the system cost more
// than the work done in them (a third of a set-up's time). Afterwards the
// limits are where the C library's own adjustment takes them once it has seen
// such blocks, so the heap's free top goes back to the system again. From
// the first set-up on, threads take their memory from the one heap.
class SetUpHeap {
public:
    SetUpHeap();
    ~SetUpHeap();
    SetUpHeap(const SetUpHeap&) = delete;
    SetUpHeap& operator=(const SetUpHeap&) = delete;
};
