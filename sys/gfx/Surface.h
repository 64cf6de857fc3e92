#pragma once
#include <vector>

#include "sys/gfx/GfxTypes.h"
#include "sys/gfx/Resource.h"

namespace sys::gfx {

class Texture;

// One picture: a texture level, the back buffer or a depth-stencil buffer;
// a volume texture's level holds `depth` slices of it, one after another.
// A texture's levels share the texture's count.
class Surface : public Resource {
public:
    Surface(Device* device, const SurfaceDesc& desc, Texture* container, uint32_t level, uint32_t depth = 1);

    uint32_t addRef() override;
    uint32_t release() override;

    const SurfaceDesc& getDesc() const { return m_desc; }
    Texture* getContainer() const { return m_container; }
    uint32_t getLevel() const { return m_level; }
    uint32_t getDepth() const { return m_depth; }
    // Locks with a tight pitch; a render target is read back first.
    HResult lockRect(LockedRect& locked, const Rect* rect, uint32_t flags);
    HResult unlockRect();
    // Locks slices with tight row and slice pitches; unlockRect ends it.
    HResult lockBox(LockedBox& locked, const Box* box, uint32_t flags);
    std::vector<uint8_t>& data() { return m_data; }

private:
    friend class Texture;
    SurfaceDesc m_desc;
    Texture* m_container;
    uint32_t m_level;
    uint32_t m_depth;
    std::vector<uint8_t> m_data;
    bool m_locked = false;
    bool m_readOnly = false;
};

} // namespace sys::gfx
