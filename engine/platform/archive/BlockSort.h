#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/platform/ByteBuffer.h"

class BwtRoom;

// The block-sorting stages of packed archive members, applied after range
// decoding: ranks back to bytes, then the inverse Burrows-Wheeler transform.
// Both work in place, so a member is never held twice over.
void inverseMoveToFront(ByteBuffer& block);

// The primary index is the row of the end sentinel among the n + 1 sorted
// rotations, so 1 to n for n bytes; false (the block's bytes then undefined)
// when the index or the data cannot come from a forward transform. The walk
// runs in `room` when it was taken for n bytes.
bool inverseBwt(ByteBuffer& block, uint32_t primaryIndex, BwtRoom* room = nullptr);

// A block of n bytes with this capacity keeps the walk's pieces in its own
// buffer instead of another one as large.
size_t inverseBwtCapacity(uint32_t n);

// The rank table update shared with the packer: a rank of 2 or more moves its
// byte to the front or, after a rank below 2, to the second place.
struct MoveToFrontTable {
    uint8_t table[256];
    uint32_t front = 0;
    MoveToFrontTable();
    uint8_t promote(uint32_t rank);
    // Turns `count` ranks into their bytes in place.
    void turn(uint8_t* ranks, uint32_t count);
};

// Inline: the range decoder calls it for every byte of a block-sorted member.
inline uint8_t MoveToFrontTable::promote(uint32_t rank) {
    uint8_t x;
    if (rank == 0) {
        x = table[0];
    } else if (rank == 1) {
        x = table[1];
        table[1] = table[0];
        table[0] = x;
    } else {
        x = table[rank];
        std::memmove(table + front + 1, table + front, rank - front);
        table[front] = x;
    }
    front = rank <= 1 ? 1 : 0;
    return x;
}
