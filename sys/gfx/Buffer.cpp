#include "sys/gfx/Buffer.h"

namespace sys::gfx {

HResult Buffer::lock(uint32_t offset, uint32_t size, void** bits, uint32_t flags) {
    if (m_locked || !bits || offset > m_data.size()) return GFXERR_INVALIDCALL;
    if (size == 0) size = uint32_t(m_data.size()) - offset;
    if (size > m_data.size() - offset) return GFXERR_INVALIDCALL;
    *bits = m_data.data() + offset;
    m_locked = true;
    return GFX_OK;
}

HResult Buffer::unlock() {
    if (!m_locked) return GFXERR_INVALIDCALL;
    m_locked = false;
    return GFX_OK;
}

} // namespace sys::gfx
