#pragma once
#include <memory>
#include <vector>

#include "sys/gfx/Surface.h"

namespace sys::gfx {

// A 2D or volume texture with its mip levels, each held as a CPU copy that unlocking uploads.
class Texture : public Resource {
public:
    Texture(Device* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
            uint32_t format, uint32_t pool);
    // A volume texture of `depth` slices; each level halves all three sides.
    Texture(Device* device, uint32_t width, uint32_t height, uint32_t depth, uint32_t levels, uint32_t usage,
            uint32_t format, uint32_t pool);
    ~Texture() override;

    bool isVolume() const { return m_volume; }
    uint32_t getDepth() const { return m_levels[0]->getDepth(); }
    HResult lockBox(uint32_t level, LockedBox& locked, const Box* box, uint32_t flags);
    HResult unlockBox(uint32_t level) { return unlockRect(level); }
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
    void makeLevels(uint32_t width, uint32_t height, uint32_t depth, uint32_t levels, uint32_t usage,
                    uint32_t format, uint32_t pool);
    std::vector<std::unique_ptr<Surface>> m_levels;
    bool m_volume = false;
};

} // namespace sys::gfx
