#pragma once
#include <cstdint>

namespace sys::gfx {

class Device;

// A counted device object; the last release deletes it.
class Resource {
public:
    explicit Resource(Device* device) : m_device(device) {}
    virtual ~Resource() = default;
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    virtual uint32_t addRef() { return ++m_refs; }
    virtual uint32_t release();
    Device* getDevice() const { return m_device; }
    // Backend handle (a GL object name); 0 when the backend keeps none.
    uint32_t m_name = 0;
    uint32_t m_name2 = 0;

protected:
    Device* m_device;

private:
    uint32_t m_refs = 1;
};

} // namespace sys::gfx
