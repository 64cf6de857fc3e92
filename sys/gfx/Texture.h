#pragma once
#include <memory>
#include <vector>

#include "sys/gfx/Surface.h"

namespace sys::gfx {

// A 2D texture with its mip levels, each held as a CPU copy that unlocking uploads.
class Texture : public Resource {
public:
    Texture(Device* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
            uint32_t format, uint32_t pool);
    ~Texture() override;

    uint32_t getLevelCount() const { return uint32_t(m_levels.size()); }
    uint32_t getFormat() const { return m_levels[0]->getDesc().format; }
    uint32_t getUsage() const { return m_levels[0]->getDesc().usage; }
    HResult getLevelDesc(uint32_t level, SurfaceDesc& desc) const;
    // The level's surface with one more count; null past the last level.
    Surface* getSurfaceLevel(uint32_t level);
    Surface* level(uint32_t level) const { return m_levels[level].get(); }
    HResult lockRect(uint32_t level, LockedRect& locked, const Rect* rect, uint32_t flags);
    HResult unlockRect(uint32_t level);
    void preLoad() {}

private:
    std::vector<std::unique_ptr<Surface>> m_levels;
};

} // namespace sys::gfx
