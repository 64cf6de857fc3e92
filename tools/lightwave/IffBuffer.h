#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Big-endian bytes of an IFF file: the LWO2 value types, and chunks whose size
// is patched when they close. Odd chunks get the pad byte the size leaves out.
class IffBuffer {
public:
    void u1(uint8_t v);
    void u2(uint16_t v);
    void u4(uint32_t v);
    void f4(float v);
    // 2 bytes below 0xFF00, else 4 bytes with 0xFF in the top byte.
    void vx(uint32_t index);
    // The string, its NUL and a pad NUL when that makes an odd count.
    void s0(const std::string& text);
    // Four raw bytes; shorter ids are padded with blanks.
    void id4(const std::string& id);
    void bytes(const std::vector<uint8_t>& data);

    // A chunk with a 4-byte (chunk) or 2-byte (sub-chunk) size after its id.
    void beginChunk(const std::string& id, int sizeBytes);
    // Closes the innermost chunk: patches its size (or writes `declaredSize`
    // when that is not negative, for broken files) and pads an odd length.
    void endChunk(int64_t declaredSize = -1);

    const std::vector<uint8_t>& data() const { return m_data; }
    size_t size() const { return m_data.size(); }

private:
    struct Open {
        size_t sizeAt;
        int sizeBytes;
    };
    std::vector<uint8_t> m_data;
    std::vector<Open> m_open;
};

// Byte count of an S0 string as written.
size_t s0Length(const std::string& text);
