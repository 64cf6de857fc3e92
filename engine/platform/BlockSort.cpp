#include "engine/platform/BlockSort.h"

#include <cstring>
#include <vector>

MoveToFrontTable::MoveToFrontTable() {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
}

uint8_t MoveToFrontTable::promote(uint32_t rank) {
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

void inverseMoveToFront(const ByteBuffer& input, ByteBuffer& output) {
    MoveToFrontTable mtf;
    const uint32_t n = input.size();
    output.resize(n);
    const uint8_t* in = input.data();
    uint8_t* out = output.data();
    for (uint32_t i = 0; i < n; ++i) out[i] = mtf.promote(in[i]);
}

bool inverseBwt(const ByteBuffer& input, uint32_t primaryIndex, ByteBuffer& output) {
    const uint32_t n = input.size();
    if (n == 0) {
        output.resize(0);
        return true;
    }
    if (primaryIndex == 0 || primaryIndex > n) return false;
    const uint8_t* last = input.data();
    uint32_t start[256] = {};
    for (uint32_t i = 0; i < n; ++i) ++start[last[i]];
    uint32_t sum = 0;
    for (uint32_t& s : start) {
        uint32_t c = s;
        s = sum;
        sum += c;
    }
    std::vector<uint32_t> next(n);
    for (uint32_t i = 0; i < n; ++i) next[i] = start[last[i]]++;

    ByteBuffer result;
    result.resize(n);
    uint8_t* out = result.data();
    uint32_t j = 0;
    for (uint32_t i = n; i-- > 0;) {
        // Only the sentinel's own row lies beyond the data, and only the walk's
        // last step may land there.
        if (j >= n) return false;
        out[i] = last[j];
        j = next[j];
        if (j < primaryIndex) ++j;
    }
    output.swap(result);
    return true;
}
