#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "sys/gfx/GfxTypes.h"
#include "sys/gfx/Resource.h"

namespace sys::gfx {

// A vertex or index buffer (index buffers carry FMT_INDEX16 or FMT_INDEX32),
// drawn from its CPU copy.
class Buffer : public Resource {
public:
    Buffer(Device* device, uint32_t length, uint32_t usage, uint32_t format, uint32_t pool)
        : Resource(device), m_data(std::make_shared<std::vector<uint8_t>>(length)), m_usage(usage), m_format(format), m_pool(pool) {}

    HResult lock(uint32_t offset, uint32_t size, void** bits, uint32_t flags);
    HResult unlock();
    uint32_t getLength() const { return uint32_t(m_data->size()); }
    uint32_t getFormat() const { return m_format; }
    uint32_t getUsage() const { return m_usage; }
    const uint8_t* bytes() const { return m_data->data(); }
    // The bytes as they stand: a lock after this writes to a copy of its own,
    // so a view still being sent from them draws what it was given.
    std::shared_ptr<const std::vector<uint8_t>> storage() const { return m_data; }
    // The largest index an index buffer holds, 0 when empty.
    uint32_t highestIndex() const;
    // The largest of `count` indices from `first`; the range must lie in the buffer.
    uint32_t highestIndex(uint32_t first, uint32_t count) const;

private:
    std::shared_ptr<std::vector<uint8_t>> m_data;
    uint32_t m_usage;
    uint32_t m_format;
    uint32_t m_pool;
    bool m_locked = false;
    // Counts the unlocks; the largest index is found once a version, as every draw checks it.
    uint32_t m_version = 0;
    mutable uint32_t m_highestIndex = 0;
    mutable uint32_t m_highestVersion = UINT32_MAX;
};

using VertexBuffer = Buffer;
using IndexBuffer = Buffer;

} // namespace sys::gfx
