#pragma once
#include "sys/gfx/GfxTypes.h"
#include "sys/gfx/Resource.h"

namespace sys::gfx {

// An occlusion (samples passed) or event query.
class Query : public Resource {
public:
    Query(Device* device, uint32_t type) : Resource(device), m_type(type) {}
    ~Query() override;

    uint32_t getType() const { return m_type; }
    HResult issue(uint32_t flags);
    // GFX_OK with the result, GFX_FALSE while it is not ready.
    HResult getData(void* data, uint32_t size, uint32_t flags);

private:
    uint32_t m_type;
};

} // namespace sys::gfx
