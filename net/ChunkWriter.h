#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Builds one chunk: begin, append the payload, then finish patches the length.
class ChunkWriter {
public:
    void begin(uint16_t nid);
    void writeByte(uint8_t value);
    void writeShort(uint16_t value);
    void writeInt(uint32_t value);
    void writeBytes(const uint8_t* data, uint32_t count);
    // Room for count more payload bytes, for the caller to fill before the next write.
    uint8_t* extend(uint32_t count);
    // False (buffer emptied) when the chunk outgrew the chunk limit.
    bool finish();
    const uint8_t* data() const { return m_data.data(); }
    size_t size() const { return m_data.size(); }
    bool empty() const { return m_data.empty(); }
    uint16_t nid() const;
    // Hands out the finished chunk and leaves the writer empty.
    std::vector<uint8_t> take();
    void clear();

private:
    std::vector<uint8_t> m_data;
};
