#include "engine/platform/archive/BlockSort.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/platform/archive/BwtRoom.h"
#include "engine/platform/archive/HugePages.h"

MoveToFrontTable::MoveToFrontTable() {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
}

void MoveToFrontTable::turn(uint8_t* ranks, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) ranks[i] = promote(ranks[i]);
}

void inverseMoveToFront(ByteBuffer& block) { MoveToFrontTable().turn(block.data(), block.size()); }

namespace {

// Small members fit the caches and take the plain walk.
constexpr uint32_t CHAINED_MIN = 1u << 16;
// Below this a member is undone before extra threads would have started.
constexpr uint32_t THREADED_MIN = 1u << 20;
// The walk waits on memory, not on the core: a few threads keep more misses in flight.
constexpr uint32_t MAX_THREADS = 4;
constexpr uint32_t SLAB = 512;
// Chains a thread walks at once: more misses than a core keeps in flight.
constexpr uint32_t WINDOW = 256;
constexpr uint32_t NONE = UINT32_MAX;
constexpr uint32_t PIECES_A_PART = 16;

uint32_t threadsFor(uint32_t n) {
    if (n < THREADED_MIN) return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, MAX_THREADS);
}

// Calls part(t) for every t below `parts`, the others on threads of their
// own; a part whose thread cannot be started runs here instead.
template <typename Part>
void runParts(uint32_t parts, const Part& part) {
    std::vector<std::thread> threads;
    threads.reserve(parts);
    uint32_t started = 1;
    try {
        for (; started < parts; ++started) threads.emplace_back([&part, started] { part(started); });
    } catch (const std::system_error&) {
    }
    for (uint32_t t = started; t < parts; ++t) part(t);
    part(0);
    for (std::thread& thread : threads) thread.join();
}

uint32_t partBegin(uint32_t count, uint32_t part, uint32_t parts) {
    return static_cast<uint32_t>(uint64_t(count) * part / parts);
}

// Calls piece(begin, end) over `count` items cut into many pieces, each
// taken by whichever of `parts` threads is free: one the system starts late
// takes fewer, instead of holding up the rest.
template <typename Piece>
void runPieces(uint32_t parts, uint32_t count, const Piece& piece) {
    const uint32_t pieces = parts * PIECES_A_PART;
    std::atomic<uint32_t> next{0};
    runParts(parts, [&](uint32_t) {
        for (uint32_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < pieces;)
            piece(partBegin(count, k, pieces), partBegin(count, k + 1, pieces));
    });
}

// Where the walk goes from the k-th sorted row; the sentinel's row, which
// has no byte, is the index n.
template <typename Step>
Step rowAfter(Step k, uint32_t n, uint32_t primaryIndex) {
    return k + 1 < primaryIndex ? k + 1 : k + 1 == primaryIndex ? n : k;
}

// step[i] packs L[i] with the index of the row that follows it in the walk.
// Each part of L is filled by its own thread from where its bytes' rows begin.
template <typename Step>
void buildSteps(const uint8_t* last, uint32_t n, uint32_t primaryIndex, uint32_t parts, Step* step) {
    std::vector<std::array<uint32_t, 256>> first(parts);
    runParts(parts, [&](uint32_t t) {
        first[t].fill(0);
        for (uint32_t i = partBegin(n, t, parts), end = partBegin(n, t + 1, parts); i < end; ++i) ++first[t][last[i]];
    });
    uint32_t sum = 0;
    for (uint32_t c = 0; c < 256; ++c)
        for (uint32_t t = 0; t < parts; ++t) {
            const uint32_t count = first[t][c];
            first[t][c] = sum;
            sum += count;
        }
    runParts(parts, [&](uint32_t t) {
        uint32_t* next = first[t].data();
        Step* out = step;
        for (uint32_t i = partBegin(n, t, parts), end = partBegin(n, t + 1, parts); i < end; ++i)
            out[i] = rowAfter<Step>(next[last[i]]++, n, primaryIndex) << 8 | last[i];
    });
}

// Steps a StepCounter left, each byte over how many of it came before, get
// where their byte's rows begin added.
template <typename Step>
void rebaseSteps(const uint32_t* counts, uint32_t n, uint32_t primaryIndex, uint32_t parts, Step* step) {
    std::array<uint32_t, 256> first;
    uint32_t sum = 0;
    for (uint32_t c = 0; c < 256; ++c) {
        first[c] = sum;
        sum += counts[c];
    }
    runPieces(parts, n, [&](uint32_t begin, uint32_t end) {
        for (uint32_t i = begin; i < end; ++i) {
            const uint32_t b = static_cast<uint8_t>(step[i]);
            step[i] = rowAfter<Step>(first[b] + static_cast<uint32_t>(step[i] >> 8), n, primaryIndex) << 8 | b;
        }
    });
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
// it meets the next chain's start; each thread interleaves a window of chains.
// A chain's bytes fill small slabs of one shared store from the top down, so
// each slab holds its bytes in the text's order; the store takes the member's
// size plus a slab a chain, however unevenly the chains run. The pieces are
// then laid end to end.
template <typename Step>
class ChainedWalk {
public:
    // `store` holds storeBytes(n).
    ChainedWalk(const Step* step, uint32_t n, uint32_t parts, uint8_t* store)
        : m_step(step), m_n(n), m_parts(parts), m_shift(shiftFor(n)), m_chains(((n - 1) >> m_shift) + 1),
          m_slabCount(n / SLAB + m_chains + 1), m_store(store) {
        m_next.assign(m_chains, NONE);
        m_length.assign(m_chains, 0);
        m_fill.assign(m_chains, 0);
        m_firstSlab.assign(m_chains, NONE);
        m_lastSlab.assign(m_chains, NONE);
        m_slabLink.assign(m_slabCount, NONE);
    }

    static size_t storeBytes(uint32_t n) {
        const uint32_t chains = ((n - 1) >> shiftFor(n)) + 1;
        return (size_t(n / SLAB) + chains + 1) * SLAB;
    }

    bool walk() {
        runParts(m_parts, [this](uint32_t) { walkPart(); });
        return !m_failed;
    }

    // Lays the pieces end to end into `out`, n bytes; false when they do not
    // make up one text (a damaged member).
    bool layOut(uint8_t* out) {
        // From the chain holding the text's end, each piece leads to the one before it.
        std::vector<uint32_t> end(m_chains, NONE);
        uint32_t position = m_n, visited = 0;
        for (uint32_t c = 0; c != SENTINEL; c = m_next[c]) {
            if (c == NONE || end[c] != NONE || m_length[c] > position) return false;
            end[c] = position;
            position -= m_length[c];
            ++visited;
        }
        if (position != 0 || visited != m_chains) return false;
        runPieces(m_parts, m_chains, [&](uint32_t first, uint32_t last) {
            for (uint32_t c = first; c < last; ++c) {
                uint32_t at = end[c];
                for (uint32_t slab = m_firstSlab[c]; slab != NONE; slab = m_slabLink[slab]) {
                    const size_t top = size_t(slab + 1) * SLAB;
                    const size_t from = slab == m_lastSlab[c] ? m_fill[c] : top - SLAB;
                    at -= static_cast<uint32_t>(top - from);
                    std::memcpy(out + at, &m_store[from], top - from);
                }
            }
        });
        return true;
    }

private:
    static constexpr uint32_t SENTINEL = NONE - 1;

    // A thread keeps a window of chains going and, as each ends, takes the
    // next chain nobody has started: the threads share the work however the
    // chains run and however the system schedules them.
    void walkPart() {
        struct Slot {
            uint32_t chain, row, length, firstSlab, lastSlab;
            size_t fill; // where the chain's last byte went; a multiple of SLAB asks for a new slab
        };
        std::array<Slot, WINDOW> slots;
        auto claim = [this](Slot& slot) {
            const uint32_t c = m_nextChain.fetch_add(1, std::memory_order_relaxed);
            if (c >= m_chains) return false;
            slot = Slot{c, c << m_shift, 0, NONE, NONE, 0};
            return true;
        };
        uint32_t active = 0;
        while (active < WINDOW && claim(slots[active])) ++active;
        const uint32_t mask = (1u << m_shift) - 1;
        uint64_t steps = 0;
        while (active) {
            steps += active;
            if (steps > m_n) return fail();
            for (uint32_t k = 0; k < active;) {
                Slot& slot = slots[k];
                const Step e = m_step[slot.row];
                if (slot.fill % SLAB == 0) {
                    const uint32_t slab = m_slabsUsed.fetch_add(1, std::memory_order_relaxed);
                    if (slab >= m_slabCount) return fail();
                    (slot.lastSlab == NONE ? slot.firstSlab : m_slabLink[slot.lastSlab]) = slab;
                    slot.lastSlab = slab;
                    slot.fill = size_t(slab + 1) * SLAB;
                }
                m_store[--slot.fill] = static_cast<uint8_t>(e);
                ++slot.length;
                const uint32_t j = static_cast<uint32_t>(e >> 8);
                slot.row = j;
                // Ask for the next row now; the other chains' steps hide its latency.
                __builtin_prefetch(&m_step[j < m_n ? j : 0]);
                if (j < m_n && (j & mask) != 0) {
                    ++k;
                    continue;
                }
                const uint32_t c = slot.chain;
                m_next[c] = j >= m_n ? SENTINEL : j >> m_shift;
                m_length[c] = slot.length;
                m_firstSlab[c] = slot.firstSlab;
                m_lastSlab[c] = slot.lastSlab;
                m_fill[c] = slot.fill;
                if (claim(slot)) {
                    __builtin_prefetch(&m_step[slot.row]);
                    ++k;
                } else {
                    slot = slots[--active];
                }
            }
        }
    }

    // About a chain for every 2 KiB, so the slabs' waste stays small.
    static uint32_t shiftFor(uint32_t n) {
        const uint32_t wanted = std::clamp(n >> 11, 64u, 4096u);
        uint32_t shift = 0;
        while ((n >> shift) > wanted) ++shift;
        return shift;
    }

    void fail() { m_failed = true; }

    const Step* m_step;
    const uint32_t m_n, m_parts, m_shift, m_chains, m_slabCount;
    uint8_t* const m_store;
    std::atomic<uint32_t> m_nextChain{0}, m_slabsUsed{0};
    std::atomic<bool> m_failed{false};
    // Per chain, written by the thread that ends it.
    std::vector<uint32_t> m_next, m_length, m_firstSlab, m_lastSlab;
    std::vector<size_t> m_fill;
    std::vector<uint32_t> m_slabLink; // the slab that follows in its chain
};

// At most five bytes a byte are held at once: the steps with the block, then
// with the pieces of the walk.
template <typename Step>
bool walk(ByteBuffer& block, uint32_t primaryIndex, BwtRoom* room) {
    const uint32_t n = block.size();
    const uint32_t parts = threadsFor(n);
    const StepCounter* counted = room && room->counter() && room->counter()->complete(n) ? room->counter() : nullptr;
    ByteBuffer memory = room ? room->take(n) : ByteBuffer();
    if (memory.size() != sizeof(Step) * size_t(n)) {
        // The steps' memory becomes the text's buffer, which counts in 32 bits.
        if (sizeof(Step) * uint64_t(n) > UINT32_MAX) return false;
        // Every step is written before it is read, so none is cleared first.
        memory.resize(0);
        memory.resize(static_cast<uint32_t>(sizeof(Step) * n));
        adviseHugePages(memory.data(), memory.size());
        counted = nullptr;
    }
    auto* step = reinterpret_cast<Step*>(memory.data());
    if (counted)
        rebaseSteps<Step>(counted->counts(), n, primaryIndex, parts, step);
    else
        buildSteps<Step>(block.data(), n, primaryIndex, parts, step);
    if (n < CHAINED_MIN) return walkOnce(step, n, block.data());
    // The block's bytes live on in the steps: its buffer, when large enough,
    // keeps the walk's pieces, else it goes before another is taken.
    const size_t storeBytes = ChainedWalk<Step>::storeBytes(n);
    std::unique_ptr<uint8_t[]> ownStore;
    if (storeBytes <= block.capacity()) {
        block.resize(static_cast<uint32_t>(storeBytes));
    } else {
        block.resize(0);
        ownStore.reset(new uint8_t[storeBytes]);
        adviseHugePages(ownStore.get(), storeBytes);
    }
    ChainedWalk<Step> chained(step, n, parts, ownStore ? ownStore.get() : block.data());
    if (!chained.walk()) return false;
    // The pieces hold the whole text now: it is laid out over the spent
    // steps, whose pages are in already, and their memory becomes the block.
    // Its unused end goes with it: given back, it faulted in again where the
    // heap handed the memory out anew.
    if (!chained.layOut(memory.data())) return false;
    memory.resize(n);
    block.swap(memory);
    return true;
}

} // namespace

size_t inverseBwtCapacity(uint32_t n) {
    return n < CHAINED_MIN ? n : ChainedWalk<uint32_t>::storeBytes(n);
}

bool inverseBwt(ByteBuffer& block, uint32_t primaryIndex, BwtRoom* room) {
    const uint32_t n = block.size();
    if (n == 0) return true;
    if (primaryIndex == 0 || primaryIndex > n) return false;
    return BwtRoom::stepWidth(n) == 4 ? walk<uint32_t>(block, primaryIndex, room)
                                      : walk<uint64_t>(block, primaryIndex, room);
}
