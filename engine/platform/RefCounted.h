#pragma once
#include <cstdint>

// Counted engine objects: made with a count of 1, gone when the last holder releases.
class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    virtual ~RefCounted() = default;

    void addRef() { ++m_refCount; }
    void release() {
        if (--m_refCount <= 0) delete this;
    }
    int32_t getRefCount() const { return m_refCount; }

private:
    int32_t m_refCount = 1;
};
