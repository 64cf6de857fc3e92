#include "sys/gfx/Buffer.h"

#include <algorithm>
#include <cstring>

namespace sys::gfx {

HResult Buffer::lock(uint32_t offset, uint32_t size, void** bits, uint32_t flags) {
    if (m_locked || !bits || offset > m_data->size()) return GFXERR_INVALIDCALL;
    if (size == 0) size = uint32_t(m_data->size()) - offset;
    if (size > m_data->size() - offset) return GFXERR_INVALIDCALL;
    if (m_data.use_count() > 1) m_data = std::make_shared<std::vector<uint8_t>>(*m_data);
    *bits = m_data->data() + offset;
    m_locked = true;
    return GFX_OK;
}

HResult Buffer::unlock() {
    if (!m_locked) return GFXERR_INVALIDCALL;
    m_locked = false;
    ++m_version;
    return GFX_OK;
}

uint32_t Buffer::highestIndex() const {
    if (m_highestVersion != m_version) {
        m_highestIndex = highestIndex(0, getLength() / (m_format == FMT_INDEX32 ? 4 : 2));
        m_highestVersion = m_version;
    }
    return m_highestIndex;
}

uint32_t Buffer::highestIndex(uint32_t first, uint32_t count) const {
    uint32_t highest = 0;
    const uint8_t* at = m_data->data();
    if (m_format == FMT_INDEX32) {
        for (uint32_t i = first; i < first + count; ++i) {
            uint32_t index;
            std::memcpy(&index, at + size_t(i) * 4, 4);
            highest = std::max(highest, index);
        }
    } else {
        for (uint32_t i = first; i < first + count; ++i) {
            uint16_t index;
            std::memcpy(&index, at + size_t(i) * 2, 2);
            highest = std::max(highest, uint32_t(index));
        }
    }
    return highest;
}

} // namespace sys::gfx
