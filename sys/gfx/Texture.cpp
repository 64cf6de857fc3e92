#include "sys/gfx/Texture.h"

#include <algorithm>

#include "sys/gfx/Device.h"

namespace sys::gfx {

Texture::Texture(Device* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                 uint32_t format, uint32_t pool)
    : Resource(device) {
    makeLevels(width, height, 1, levels, usage, format, pool);
}

Texture::Texture(Device* device, uint32_t width, uint32_t height, uint32_t depth, uint32_t levels, uint32_t usage,
                 uint32_t format, uint32_t pool)
    : Resource(device), m_volume(true) {
    makeLevels(width, height, depth, levels, usage, format, pool);
}

void Texture::makeLevels(uint32_t width, uint32_t height, uint32_t depth, uint32_t levels, uint32_t usage,
                         uint32_t format, uint32_t pool) {
    uint32_t full = 1;
    for (uint32_t side = std::max({width, height, depth}); side > 1; side /= 2) ++full;
    if (levels == 0 || levels > full) levels = full;
    for (uint32_t i = 0; i < levels; ++i) {
        SurfaceDesc desc{format, m_volume ? uint32_t(RTYPE_VOLUME) : uint32_t(RTYPE_SURFACE), usage, pool, 0, 0,
                         std::max(1u, width >> i), std::max(1u, height >> i)};
        m_levels.push_back(std::make_unique<Surface>(m_device, desc, this, i, std::max(1u, depth >> i)));
    }
}

Texture::~Texture() = default;

HResult Texture::getLevelDesc(uint32_t level, SurfaceDesc& desc) const {
    if (level >= m_levels.size()) return GFXERR_INVALIDCALL;
    desc = m_levels[level]->getDesc();
    return GFX_OK;
}

Surface* Texture::getSurfaceLevel(uint32_t level) {
    if (level >= m_levels.size()) return nullptr;
    addRef();
    return m_levels[level].get();
}

HResult Texture::lockRect(uint32_t level, LockedRect& locked, const Rect* rect, uint32_t flags) {
    if (level >= m_levels.size()) return GFXERR_INVALIDCALL;
    return m_levels[level]->lockRect(locked, rect, flags);
}

HResult Texture::lockBox(uint32_t level, LockedBox& locked, const Box* box, uint32_t flags) {
    if (level >= m_levels.size() || !m_volume) return GFXERR_INVALIDCALL;
    return m_levels[level]->lockBox(locked, box, flags);
}

HResult Texture::unlockRect(uint32_t level) {
    if (level >= m_levels.size()) return GFXERR_INVALIDCALL;
    return m_levels[level]->unlockRect();
}

} // namespace sys::gfx
