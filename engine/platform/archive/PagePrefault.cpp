#include "engine/platform/archive/PagePrefault.h"

#include <sys/mman.h>

#include <cstdint>
#include <system_error>

namespace {

// Smaller buffers fault in sooner than a thread starts.
constexpr size_t PREFAULT_MIN = size_t(1) << 20;

} // namespace

PagePrefault::PagePrefault(void* data, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    if (bytes < PREFAULT_MIN) return;
    constexpr uintptr_t PAGE = 4096;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + PAGE - 1) & ~(PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(PAGE - 1);
    try {
        // Only a help: where the kernel cannot populate, the first writes fault as before.
        m_thread = std::thread([begin, end] { madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE); });
    } catch (const std::system_error&) {
    }
#endif
}

PagePrefault::~PagePrefault() {
    if (m_thread.joinable()) m_thread.join();
}
