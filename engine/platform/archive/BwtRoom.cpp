#include "engine/platform/archive/BwtRoom.h"

#include "engine/platform/archive/HugePages.h"

BwtRoom::BwtRoom(uint32_t n) : m_n(n) {
    const size_t bytes = stepWidth(n) * size_t(n);
    if (bytes == 0) return;
    m_memory.reset(new uint8_t[bytes]);
    adviseHugePages(m_memory.get(), bytes);
    m_prefault = std::make_unique<PagePrefault>(m_memory.get(), bytes);
    if (stepWidth(n) == 4) m_counter = std::make_unique<StepCounter>(reinterpret_cast<uint32_t*>(m_memory.get()), n);
}

std::unique_ptr<uint8_t[]> BwtRoom::take(uint32_t n) {
    m_prefault.reset();
    if (n != m_n) return nullptr;
    return std::move(m_memory);
}
