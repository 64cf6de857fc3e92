#pragma once
#include <cstddef>
#include <utility>

// One count on a counted object (RefCounted, or a device object): the count is
// given back when the handle goes. Reads as the raw pointer wherever one is asked for.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(const Ref& other) : m_object(other.m_object) {
        if (m_object) m_object->addRef();
    }
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~Ref() { reset(); }

    // A new counted object; its first count is the handle's.
    template <class... Args>
    static Ref make(Args&&... args) {
        return adopt(new T(std::forward<Args>(args)...));
    }
    // Takes over a count the caller holds: a new object, or one a getter handed out.
    static Ref adopt(T* object) {
        Ref ref;
        ref.m_object = object;
        return ref;
    }
    // Adds a count of its own.
    static Ref share(T* object) {
        if (object) object->addRef();
        return adopt(object);
    }

    void reset() {
        if (m_object) std::exchange(m_object, nullptr)->release();
    }
    // Emptied, for a creator that writes a counted object through the pointer.
    T** out() {
        reset();
        return &m_object;
    }
    // Hands the count on to the caller.
    T* detach() { return std::exchange(m_object, nullptr); }

    T* get() const { return m_object; }
    operator T*() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }

private:
    T* m_object = nullptr;
};
