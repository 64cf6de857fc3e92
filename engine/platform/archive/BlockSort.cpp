#include "engine/platform/archive/BlockSort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/platform/archive/HugePages.h"

MoveToFrontTable::MoveToFrontTable() {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
}

void inverseMoveToFront(ByteBuffer& block) {
    MoveToFrontTable mtf;
    uint8_t* p = block.data();
    for (uint32_t i = 0, n = block.size(); i < n; ++i) p[i] = mtf.promote(p[i]);
}

namespace {

// Small members fit the caches and take the plain walk.
constexpr uint32_t CHAINED_MIN = 1u << 16;
constexpr uint32_t CHAINS = 256; // about as many misses as the core keeps in flight

// step[i] packs L[i] with the index of the row that follows it in the walk;
// the sentinel's row, which has no byte, is the index n.
template <typename Step>
std::unique_ptr<Step[]> buildSteps(const uint8_t* last, uint32_t n, uint32_t primaryIndex, const uint32_t* start) {
    // Every entry is written below, so none is cleared first.
    std::unique_ptr<Step[]> step(new Step[n]);
    adviseHugePages(step.get(), sizeof(Step) * size_t(n));
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
bool walkOnce(const Step* step, uint32_t n, uint8_t* out) {
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
// The pieces fill slabs of one shared store, so they take the member's size
// plus a slab a chain, however unevenly the chains run.
template <typename Step>
bool walkChained(std::unique_ptr<Step[]>& step, uint32_t n, ByteBuffer& block) {
    constexpr uint32_t SENTINEL = UINT32_MAX;
    constexpr uint32_t SLAB = 4096;
    uint32_t shift = 0;
    while ((n >> shift) > CHAINS) ++shift;
    const uint32_t spacing = 1u << shift, chains = (n + spacing - 1) >> shift;
    const size_t storeSize = (size_t(n / SLAB) + chains + 1) * SLAB;
    std::unique_ptr<uint8_t[]> store(new uint8_t[storeSize]);
    adviseHugePages(store.get(), storeSize);
    std::vector<uint32_t> current(chains), next(chains), running(chains), length(chains);
    std::vector<size_t> end(chains); // where the chain's next byte goes; a multiple of SLAB asks for a new slab
    std::vector<std::vector<uint32_t>> slabs(chains);
    size_t used = 0;
    for (uint32_t c = 0; c < chains; ++c) {
        current[c] = c << shift;
        running[c] = c;
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
            if (length[c]++ % SLAB == 0) {
                slabs[c].push_back(static_cast<uint32_t>(used / SLAB));
                end[c] = used;
                used += SLAB;
            }
            store[end[c]++] = static_cast<uint8_t>(e);
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
    // The pieces hold the whole text now; drop the steps before the text is laid out.
    step.reset();
    block.resize(n);
    adviseHugePages(block.data(), n);
    uint8_t* out = block.data();
    // From the chain holding the text's end, each piece leads to the one before it.
    uint32_t position = n, visited = 0;
    for (uint32_t c = 0; c != SENTINEL; c = next[c]) {
        if ((c == 0 && visited > 0) || ++visited > chains || length[c] > position) return false;
        for (uint32_t left = length[c], slab = 0; left; ++slab) {
            const uint8_t* from = &store[size_t(slabs[c][slab]) * SLAB];
            const uint32_t count = left < SLAB ? left : SLAB;
            for (uint32_t i = 0; i < count; ++i) out[--position] = from[i];
            left -= count;
        }
    }
    return position == 0 && visited == chains;
}

// At most five bytes a byte are held at once: the steps with the block, then
// with the pieces of the walk.
template <typename Step>
bool walk(ByteBuffer& block, uint32_t primaryIndex, const uint32_t* start) {
    const uint32_t n = block.size();
    std::unique_ptr<Step[]> step = buildSteps<Step>(block.data(), n, primaryIndex, start);
    if (n < CHAINED_MIN) return walkOnce(step.get(), n, block.data());
    block.resize(0);
    return walkChained(step, n, block);
}

} // namespace

bool inverseBwt(ByteBuffer& block, uint32_t primaryIndex) {
    const uint32_t n = block.size();
    if (n == 0) return true;
    if (primaryIndex == 0 || primaryIndex > n) return false;
    const uint8_t* last = block.data();
    uint32_t start[256] = {};
    for (uint32_t i = 0; i < n; ++i) ++start[last[i]];
    uint32_t sum = 0;
    for (uint32_t& s : start) {
        uint32_t c = s;
        s = sum;
        sum += c;
    }
    return n < (1u << 24) - 1 ? walk<uint32_t>(block, primaryIndex, start) : walk<uint64_t>(block, primaryIndex, start);
}
