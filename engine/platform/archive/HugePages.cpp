#include "engine/platform/archive/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

void adviseHugePages(void* data, size_t bytes) {
    constexpr uintptr_t HUGE_PAGE = uintptr_t(2) << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(HUGE_PAGE - 1);
    // Only advice: where the kernel keeps no huge pages the small ones serve.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}
