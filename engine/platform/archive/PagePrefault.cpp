#include "engine/platform/archive/PagePrefault.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace {

// Smaller buffers fault in sooner than a thread starts.
constexpr size_t PREFAULT_MIN = size_t(1) << 20;
// Populating holds the address space's lock, which every mapping waits
// for: a piece at a time lets the other threads' allocations through.
constexpr uintptr_t PIECE = uintptr_t(4) << 20;

#ifdef MADV_POPULATE_WRITE
void populate(void* data, size_t bytes) {
    if (bytes < PREFAULT_MIN) return;
    constexpr uintptr_t PAGE = 4096;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + PAGE - 1) & ~(PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(PAGE - 1);
    for (uintptr_t at = begin; at < end; at += PIECE)
        madvise(reinterpret_cast<void*>(at), std::min(PIECE, end - at), MADV_POPULATE_WRITE);
}
#endif

} // namespace

PagePrefault::PagePrefault(void* data, size_t bytes, void* next, size_t nextBytes) {
#ifdef MADV_POPULATE_WRITE
    if (bytes < PREFAULT_MIN && nextBytes < PREFAULT_MIN) return;
    try {
        // Only a help: where the kernel cannot populate, the first writes fault as before.
        m_thread = std::thread([=] {
            populate(data, bytes);
            populate(next, nextBytes);
        });
    } catch (const std::system_error&) {
    }
#endif
}

PagePrefault::~PagePrefault() {
    if (m_thread.joinable()) m_thread.join();
}
