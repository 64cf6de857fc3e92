#include "sys/gfx/Query.h"

#include <cstring>

#include "sys/gfx/Device.h"

namespace sys::gfx {

Query::~Query() = default;

HResult Query::issue(uint32_t flags) { return m_device->issueQuery(*this, flags); }

HResult Query::getData(void* data, uint32_t size, uint32_t flags) {
    uint32_t samples = 0;
    HResult result = m_device->queryResult(*this, samples, (flags & GETDATA_FLUSH) != 0);
    if (result == GFX_OK && data && size >= sizeof(uint32_t)) std::memcpy(data, &samples, sizeof samples);
    return result;
}

} // namespace sys::gfx
