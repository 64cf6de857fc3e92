#include "sys/gfx/Resource.h"

#include "sys/gfx/Device.h"

namespace sys::gfx {

uint32_t Resource::release() {
    uint32_t left = --m_refs;
    if (left == 0) {
        if (m_device) {
            m_device->forget(this);
            m_device->destroyObject(*this);
        }
        delete this;
    }
    return left;
}

} // namespace sys::gfx
