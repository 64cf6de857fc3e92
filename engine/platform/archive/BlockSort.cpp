#include "engine/platform/archive/BlockSort.h"

#include <algorithm>
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

namespace {

// Small members fit the caches and take the plain walk.
constexpr uint32_t CHAINED_MIN = 1u << 16;
constexpr uint32_t CHAINS = 256; // about as many misses as the core keeps in flight

// step[i] packs L[i] with the index of the row that follows it in the walk;
// the sentinel's row, which has no byte, is the index n.
template <typename Step>
std::vector<Step> buildSteps(const uint8_t* last, uint32_t n, uint32_t primaryIndex, const uint32_t* start) {
    std::vector<Step> step(n);
    uint32_t first[256];
    std::memcpy(first, start, sizeof first);
    for (uint32_t i = 0; i < n; ++i) {
        Step k = first[last[i]]++;
        Step next = k + 1 < primaryIndex ? k + 1 : k + 1 == primaryIndex ? n : k;
        step[i] = next << 8 | last[i];
    }
    return step;
}

template <typename Step>
bool walkOnce(const std::vector<Step>& step, uint32_t n, uint8_t* out) {
    uint32_t j = 0;
    for (uint32_t i = n; i-- > 0;) {
        // Only the last step may reach the sentinel.
        if (j >= n) return false;
        Step e = step[j];
        out[i] = static_cast<uint8_t>(e);
        j = static_cast<uint32_t>(e >> 8);
    }
    return true;
}

// The walk is one dependent memory access per byte. On a large member that is
// a cache miss each time, so walk many pieces of the cycle at once: a chain
// starts at every row whose index is a multiple of the spacing and runs until
// it meets the next chain's start; the pieces are then laid end to end.
template <typename Step>
bool walkChained(const std::vector<Step>& step, uint32_t n, uint8_t* out) {
    constexpr uint32_t SENTINEL = UINT32_MAX;
    uint32_t shift = 0;
    while ((n >> shift) > CHAINS) ++shift;
    const uint32_t spacing = 1u << shift, chains = (n + spacing - 1) >> shift;
    std::vector<uint32_t> current(chains), next(chains), running(chains);
    std::vector<std::vector<uint8_t>> piece(chains);
    for (uint32_t c = 0; c < chains; ++c) {
        current[c] = c << shift;
        running[c] = c;
        piece[c].reserve(2 * spacing);
    }
    uint32_t active = chains;
    uint64_t steps = 0;
    while (active) {
        steps += active;
        if (steps > n) return false;
        uint32_t kept = 0;
        for (uint32_t k = 0; k < active; ++k) {
            uint32_t c = running[k];
            Step e = step[current[c]];
            piece[c].push_back(static_cast<uint8_t>(e));
            uint32_t j = static_cast<uint32_t>(e >> 8);
            current[c] = j;
            // Ask for the next row now; the other chains' steps hide its latency.
            __builtin_prefetch(&step[j < n ? j : 0]);
            if (j >= n)
                next[c] = SENTINEL;
            else if ((j & (spacing - 1)) == 0)
                next[c] = j >> shift;
            else
                running[kept++] = c;
        }
        active = kept;
    }
    // From the chain holding the text's end, each piece leads to the one before it.
    uint32_t position = n, visited = 0;
    for (uint32_t c = 0; c != SENTINEL; c = next[c]) {
        if ((c == 0 && visited > 0) || ++visited > chains || piece[c].size() > position) return false;
        for (uint8_t b : piece[c]) out[--position] = b;
    }
    return position == 0 && visited == chains;
}

template <typename Step>
bool walk(const uint8_t* last, uint32_t n, uint32_t primaryIndex, const uint32_t* start, uint8_t* out) {
    std::vector<Step> step = buildSteps<Step>(last, n, primaryIndex, start);
    return n < CHAINED_MIN ? walkOnce(step, n, out) : walkChained(step, n, out);
}

} // namespace

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
    ByteBuffer result;
    result.resize(n);
    bool ok = n < (1u << 24) - 1 ? walk<uint32_t>(last, n, primaryIndex, start, result.data())
                             : walk<uint64_t>(last, n, primaryIndex, start, result.data());
    if (!ok) return false;
    output.swap(result);
    return true;
}
