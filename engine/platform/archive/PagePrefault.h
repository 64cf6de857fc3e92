#pragma once
#include <cstddef>
#include <thread>

// Faults a fresh buffer's pages in on a thread of its own, so that the
// kernel's clearing of them runs beside the work that will fill the buffer
// instead of inside it; the page contents are left alone, so the buffer may
// be written meanwhile. Waits for the thread when it goes.
class PagePrefault {
public:
    // One thread for both buffers, `data` first.
    PagePrefault(void* data, size_t bytes, void* next = nullptr, size_t nextBytes = 0);
    PagePrefault(const PagePrefault&) = delete;
    PagePrefault& operator=(const PagePrefault&) = delete;
    ~PagePrefault();

private:
    std::thread m_thread;
};
