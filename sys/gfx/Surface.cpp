#include "sys/gfx/Surface.h"

#include "sys/gfx/Device.h"
#include "sys/gfx/Texture.h"

namespace sys::gfx {

Surface::Surface(Device* device, const SurfaceDesc& desc, Texture* container, uint32_t level, uint32_t depth)
    : Resource(device), m_desc(desc), m_container(container), m_level(level), m_depth(depth ? depth : 1) {
    if (!isDepthFormat(desc.format))
        m_data.resize(size_t(formatRowBytes(desc.format, desc.width)) * formatRowCount(desc.format, desc.height) *
                      m_depth);
}

uint32_t Surface::addRef() { return m_container ? m_container->addRef() : Resource::addRef(); }
uint32_t Surface::release() { return m_container ? m_container->release() : Resource::release(); }

HResult Surface::lockRect(LockedRect& locked, const Rect* rect, uint32_t flags) {
    if (m_locked || m_data.empty()) return GFXERR_INVALIDCALL;
    if (m_desc.usage & USAGE_RENDERTARGET && m_device) m_device->readBack(*this);
    uint32_t pitch = formatRowBytes(m_desc.format, m_desc.width);
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || uint32_t(rect->right) > m_desc.width ||
            uint32_t(rect->bottom) > m_desc.height || rect->left >= rect->right || rect->top >= rect->bottom)
            return GFXERR_INVALIDCALL;
        bool blocks = isCompressedFormat(m_desc.format);
        uint32_t row = blocks ? uint32_t(rect->top) / 4 : uint32_t(rect->top);
        offset = size_t(row) * pitch + formatRowBytes(m_desc.format, uint32_t(rect->left));
    }
    locked.pitch = int32_t(pitch);
    locked.bits = m_data.data() + offset;
    m_locked = true;
    m_readOnly = (flags & LOCK_READONLY) != 0;
    return GFX_OK;
}

HResult Surface::lockBox(LockedBox& locked, const Box* box, uint32_t flags) {
    if (m_locked || m_data.empty() || isCompressedFormat(m_desc.format)) return GFXERR_INVALIDCALL;
    uint32_t rowPitch = formatRowBytes(m_desc.format, m_desc.width);
    size_t slicePitch = size_t(rowPitch) * m_desc.height;
    size_t offset = 0;
    if (box) {
        if (box->right > m_desc.width || box->bottom > m_desc.height || box->back > m_depth ||
            box->left >= box->right || box->top >= box->bottom || box->front >= box->back)
            return GFXERR_INVALIDCALL;
        offset = box->front * slicePitch + size_t(box->top) * rowPitch + formatRowBytes(m_desc.format, box->left);
    }
    locked.rowPitch = int32_t(rowPitch);
    locked.slicePitch = int32_t(slicePitch);
    locked.bits = m_data.data() + offset;
    m_locked = true;
    m_readOnly = (flags & LOCK_READONLY) != 0;
    return GFX_OK;
}

HResult Surface::unlockRect() {
    if (!m_locked) return GFXERR_INVALIDCALL;
    m_locked = false;
    if (!m_readOnly && m_container && m_device) m_device->uploadLevel(*m_container, m_level);
    return GFX_OK;
}

} // namespace sys::gfx
