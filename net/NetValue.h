#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "engine/platform/Math3D.h"
#include "engine/platform/Report.h"
#include "net/NetControl.h"
#include "net/NetValueBase.h"

// The compares the setters use: a different value is stored and marked changed.
inline bool netValueDiffers(int a, int b) { return a != b; }
inline bool netValueDiffers(bool a, bool b) { return a != b; }
// A NaN always counts as different, +0.0 and -0.0 as equal.
inline bool netValueDiffers(float a, float b) { return !(a == b); }
inline bool netValueDiffers(const Position3& a, const Position3& b) {
    return !(a.x == b.x) || !(a.y == b.y) || !(a.z == b.z);
}
inline bool netValueDiffers(const Normal3& a, const Normal3& b) {
    return !(a.x == b.x) || !(a.y == b.y) || !(a.z == b.z);
}
// Byte for byte, so a sign flip of a zero element counts.
inline bool netValueDiffers(const Matrix4x3& a, const Matrix4x3& b) {
    return std::memcmp(a.m, b.m, sizeof a.m) != 0;
}

// The copies a value starts with: all zero; a matrix keeps its affine column.
template <typename T>
T netValueBlank() {
    return T{};
}
template <>
inline Matrix4x3 netValueBlank<Matrix4x3>() {
    Matrix4x3 blank{};
    blank.m[15] = 1.0f;
    return blank;
}

// Called on a copy that just arrived, before anyone reads it: a type whose
// bytes need checking (a name's terminator, say) overloads this beside itself.
template <typename T>
void netValueReceived(T&) {}

// A replicated member of type T: reads like a plain member, marks itself
// changed on a write that changes it, and takes received copies at commit.
template <typename T>
class NetValue final : public NetValueBase {
    static_assert(std::is_trivially_copyable<T>::value, "replicated values travel as raw bytes");

public:
    NetValue() : NetValue(NetControl::getInstance()) {}
    explicit NetValue(NetControl& client) : m_client(client) { m_client.addValue(this); }
    ~NetValue() { m_client.removeValue(this); }
    NetValue(const NetValue&) = delete;
    NetValue& operator=(const NetValue&) = delete;

    void init(int32_t nid, const T& initial) {
        init(nid);
        m_current = initial;
    }
    // Gives the nid only; records that are changed in place start this way.
    void init(int32_t nid) {
        ENGINE_ASSERT(!m_client.getValueId(nid) && "!NetControl::getInstance().getValueId(id)");
        m_nid = nid;
    }

    const T& set(const T& value) {
        if (!netValueDiffers(value, m_current)) return m_current;
        m_current = value;
        if (m_flags & FLAG_SEND) m_changed = true;
        return m_current;
    }
    NetValue& operator=(const T& value) {
        set(value);
        return *this;
    }
    const T& get() const { return m_current; }
    operator const T&() const { return m_current; }
    // Write access in place: counts as a change when sending is allowed.
    T* modify() {
        if (m_flags & FLAG_SEND) m_changed = true;
        return &m_current;
    }
    void setFlags(uint32_t flags) override { m_flags = flags; }

    const uint8_t* data() const override { return reinterpret_cast<const uint8_t*>(&m_current); }
    uint32_t size() const override { return sizeof(T); }
    bool isChanged() const override { return m_changed; }
    void setData(const uint8_t* bytes, uint32_t count) override {
        if (count > sizeof(T)) count = sizeof(T);
        if constexpr (std::is_same<T, bool>::value) {
            // Any non-zero byte is true; a bool never holds another pattern.
            if (count > 0) m_received = bytes[0] != 0;
        } else {
            std::memcpy(&m_received, bytes, count);
        }
        netValueReceived(m_received);
        m_receivedMark = true;
    }
    void commit() override {
        bool received = m_receivedMark;
        m_changed = false;
        m_receivedMark = false;
        if (received && (m_flags & FLAG_RECEIVE)) m_current = m_received;
    }
    int32_t getNid() const override { return m_nid; }
    uint32_t getFlags() const override { return m_flags; }
    const std::string& getName() const override { return m_name; }
    void setName(const std::string& name) override { m_name = name; }

private:
    NetControl& m_client;
    std::string m_name;
    T m_received = netValueBlank<T>();
    T m_current = netValueBlank<T>();
    bool m_changed = false;
    bool m_receivedMark = false;
    int32_t m_nid = -1;
    uint32_t m_flags = FLAG_RECEIVE | FLAG_SEND;
};
