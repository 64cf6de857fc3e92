#pragma once
#include <cstdint>

// Growable byte block; also the engine's text type, whose size counts the
// terminating NUL.
class ByteBuffer {
public:
    ByteBuffer();                       // the empty text: one NUL
    explicit ByteBuffer(const char* text);
    ByteBuffer(const ByteBuffer& other);
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(const ByteBuffer& other);
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    // Growth steps by an eighth of the size (4 to 65536 bytes); shrinking keeps
    // the allocation; 0 frees it. New bytes are not initialised.
    void resize(uint32_t n);
    void assign(const ByteBuffer& other);
    void assignText(const char* text);
    void swap(ByteBuffer& other) noexcept;

    uint32_t size() const { return static_cast<uint32_t>(m_size); }
    uint32_t capacity() const { return m_capacity; }
    uint8_t* data() { return m_data; }
    const uint8_t* data() const { return m_data; }
    const char* text() const { return m_data ? reinterpret_cast<const char*>(m_data) : ""; }

private:
    int32_t m_size;
    uint32_t m_capacity;
    uint8_t* m_data;
};
