#include "engine/platform/archive/BwtRoom.h"

#include "engine/platform/archive/HugePages.h"

BwtRoom::BwtRoom(uint32_t n) : m_n(n) {
    m_memory.resize(0);
    // Only steps of 4 bytes are counted ahead; the block sort takes wider ones itself.
    if (n == 0 || stepWidth(n) != 4) return;
    const uint32_t bytes = 4 * n;
    m_memory.resize(bytes);
    adviseHugePages(m_memory.data(), bytes);
    m_counter = std::make_unique<StepCounter>(reinterpret_cast<uint32_t*>(m_memory.data()), n);
}

ByteBuffer BwtRoom::take(uint32_t n) {
    ByteBuffer memory;
    memory.resize(0);
    if (n == m_n) memory.swap(m_memory);
    return memory;
}
