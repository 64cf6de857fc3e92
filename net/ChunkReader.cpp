#include "net/ChunkReader.h"
#include <algorithm>

#include "engine/platform/Report.h"
#include "net/NetProtocol.h"

void ChunkReader::append(const uint8_t* data, int32_t length) {
    if (length > 0) m_queue.insert(m_queue.end(), data, data + length);
}

ChunkReader::State ChunkReader::beginChunk() {
    if (m_queue.size() < 2) return State::INCOMPLETE;
    int32_t size = m_queue[0] | (m_queue[1] << 8);
    // The peer's input, not our invariant: such a length can never be skipped reliably, the stream is lost.
    if (size < NetProtocol::HEADER_SIZE || size >= NetProtocol::MAX_CHUNK_SIZE) return State::MALFORMED;
    if (m_queue.size() < static_cast<size_t>(size)) return State::INCOMPLETE;
    m_readLen = size;
    m_readBufferPos = 2;
    m_nid = readShort();
    return State::COMPLETE;
}

bool ChunkReader::canRead(int32_t count) {
    ENGINE_ASSERT(m_readLen != -1 && "m_readLen != -1");
    if (m_readLen == -1) return false;
    return m_readBufferPos + count <= m_readLen;
}

// A read past the chunk's end yields 0 and stays inside the chunk.
uint8_t ChunkReader::readByte() {
    ENGINE_ASSERT(canRead(1) && "m_readBufferPos+1 <= m_readLen");
    if (!canRead(1)) return 0;
    return m_queue[m_readBufferPos++];
}

uint16_t ChunkReader::readShort() {
    ENGINE_ASSERT(canRead(2) && "m_readBufferPos+2 <= m_readLen");
    if (!canRead(2)) return 0;
    uint16_t value = static_cast<uint16_t>(m_queue[m_readBufferPos] | (m_queue[m_readBufferPos + 1] << 8));
    m_readBufferPos += 2;
    return value;
}

uint32_t ChunkReader::readInt() {
    ENGINE_ASSERT(canRead(4) && "m_readBufferPos+4 <= m_readLen");
    if (!canRead(4)) return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | m_queue[m_readBufferPos + i];
    m_readBufferPos += 4;
    return value;
}

void ChunkReader::readRest(uint8_t* out) {
    if (m_readLen == -1) return;
    std::copy(m_queue.begin() + m_readBufferPos, m_queue.begin() + m_readLen, out);
    m_readBufferPos = m_readLen;
}

void ChunkReader::skipRest() {
    if (m_readLen != -1) m_readBufferPos = m_readLen;
}

void ChunkReader::endChunk() {
    if (m_readLen == -1) return;
    m_queue.erase(m_queue.begin(), m_queue.begin() + m_readLen);
    m_readLen = -1;
    m_readBufferPos = -1;
}

void ChunkReader::clear() {
    m_queue.clear();
    m_readLen = -1;
    m_readBufferPos = -1;
}
