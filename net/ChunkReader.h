#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>

// Takes received bytes and hands out whole chunks. A length field below the
// header size or at the chunk limit makes the stream unusable: the owner
// closes that connection.
class ChunkReader {
public:
    enum class State { INCOMPLETE, COMPLETE, MALFORMED };

    void append(const uint8_t* data, int32_t length);
    // Starts the next chunk when it is whole; its nid is then read.
    State beginChunk();
    uint8_t readByte();
    uint16_t readShort();
    uint32_t readInt();
    // Copies the rest of the payload (payloadLeft() bytes).
    void readRest(uint8_t* out);
    void skipRest();
    int32_t payloadSize() const { return m_readLen - 4; }
    int32_t payloadLeft() const { return m_readLen - m_readBufferPos; }
    int32_t chunkLength() const { return m_readLen; }
    uint16_t nid() const { return m_nid; }
    // Drops the chunk from the queue, read to its end or not.
    void endChunk();
    void clear();
    size_t queued() const { return m_queue.size(); }

private:
    bool canRead(int32_t count);

    std::deque<uint8_t> m_queue;
    int32_t m_readLen = -1;
    int32_t m_readBufferPos = -1;
    uint16_t m_nid = 0;
};
