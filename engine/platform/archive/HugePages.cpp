#include "engine/platform/archive/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

// Advises the whole pages of `page` bytes inside [data, data + bytes).
void advise(void* data, size_t bytes, uintptr_t page, int advice) {
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

} // namespace

void adviseHugePages(void* data, size_t bytes) {
    // Only advice: where the kernel keeps no huge pages the small ones serve.
    advise(data, bytes, uintptr_t(2) << 20, MADV_HUGEPAGE);
}

void releasePages(void* data, size_t bytes) { advise(data, bytes, 4096, MADV_DONTNEED); }
