#include "net/ChunkWriter.h"

#include "engine/platform/Report.h"
#include "net/NetProtocol.h"

void ChunkWriter::begin(uint16_t nid) {
    ENGINE_ASSERT(m_data.empty() && "m_writeData.empty()");
    m_data.clear();
    writeShort(0);
    writeShort(nid);
}

void ChunkWriter::writeByte(uint8_t value) { m_data.push_back(value); }

void ChunkWriter::writeShort(uint16_t value) {
    m_data.push_back(static_cast<uint8_t>(value));
    m_data.push_back(static_cast<uint8_t>(value >> 8));
}

void ChunkWriter::writeInt(uint32_t value) {
    for (int i = 0; i < 4; ++i) m_data.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void ChunkWriter::writeBytes(const uint8_t* data, uint32_t count) { m_data.insert(m_data.end(), data, data + count); }

uint8_t* ChunkWriter::extend(uint32_t count) {
    m_data.resize(m_data.size() + count);
    return m_data.data() + m_data.size() - count;
}

bool ChunkWriter::finish() {
    // A peer drops a chunk this long together with our connection.
    if (m_data.size() < 4 || m_data.size() >= static_cast<size_t>(NetProtocol::MAX_CHUNK_SIZE)) {
        clear();
        return false;
    }
    m_data[0] = static_cast<uint8_t>(m_data.size());
    m_data[1] = static_cast<uint8_t>(m_data.size() >> 8);
    return true;
}

uint16_t ChunkWriter::nid() const {
    return m_data.size() < 4 ? 0 : static_cast<uint16_t>(m_data[2] | (m_data[3] << 8));
}

std::vector<uint8_t> ChunkWriter::take() {
    std::vector<uint8_t> chunk;
    chunk.swap(m_data);
    return chunk;
}

void ChunkWriter::clear() {
    m_data.clear();
    m_data.shrink_to_fit();
}
