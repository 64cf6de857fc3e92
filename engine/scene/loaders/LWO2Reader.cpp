#include "engine/scene/loaders/LWO2Reader.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/archive/File.h"

namespace {

constexpr uint32_t SLICE_SIZE = 64 * 1024;

} // namespace

LWO2Reader::LWO2Reader(File& file)
    : m_file(file), m_position(file.tell()), m_size(file.getSize()), m_slice(SLICE_SIZE) {
    m_position = std::min(m_position, m_size);
}

uint32_t LWO2Reader::endOf(uint32_t size, uint32_t limit) const {
    uint64_t end = static_cast<uint64_t>(m_position) + size + (size & 1u);
    return static_cast<uint32_t>(std::min<uint64_t>(end, std::min(limit, m_size)));
}

void LWO2Reader::seek(uint32_t position) { m_position = std::min(position, m_size); }

void LWO2Reader::readBytes(uint8_t* out, uint32_t count) {
    const uint32_t offset = m_position - m_sliceStart;
    if (m_position >= m_sliceStart && offset < m_sliceLength && count <= m_sliceLength - offset) {
        std::memcpy(out, m_slice.data() + offset, count);
        m_position += count;
        return;
    }
    readAcrossSlices(out, count);
}

void LWO2Reader::readAcrossSlices(uint8_t* out, uint32_t count) {
    uint32_t available = m_position < m_size ? std::min(count, m_size - m_position) : 0;
    uint32_t got = 0;
    while (got < available) {
        const uint32_t at = m_position + got;
        if (at < m_sliceStart || at - m_sliceStart >= m_sliceLength) {
            m_sliceStart = at;
            m_sliceLength = m_file.seek(at) ? m_file.readFully(m_slice.data(), SLICE_SIZE) : 0;
            if (m_sliceLength == 0) break;
        }
        const uint32_t n = std::min(available - got, m_sliceLength - (at - m_sliceStart));
        std::memcpy(out + got, m_slice.data() + (at - m_sliceStart), n);
        got += n;
    }
    std::memset(out + got, 0, count - got);
    // Past the end the position still moves, so that no reading loop can stall.
    uint64_t next = static_cast<uint64_t>(m_position) + count;
    m_position = static_cast<uint32_t>(std::min<uint64_t>(next, UINT32_MAX));
}

uint8_t LWO2Reader::readU1() {
    uint8_t b;
    readBytes(&b, 1);
    return b;
}

uint16_t LWO2Reader::readU2() {
    uint8_t b[2];
    readBytes(b, 2);
    return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

uint32_t LWO2Reader::readU4() {
    uint8_t b[4];
    readBytes(b, 4);
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | static_cast<uint32_t>(b[2]) << 8 | b[3];
}

float LWO2Reader::readF4() {
    uint32_t bits = readU4();
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

uint32_t LWO2Reader::readVX() {
    uint32_t v = readU2();
    if ((v & 0xFF00u) != 0xFF00u) return v;
    return (v & 0xFFu) << 16 | readU2();
}

uint32_t LWO2Reader::readS0(std::string& text, uint32_t limit) {
    text.clear();
    uint32_t start = m_position;
    bool ended = false;
    while (!ended && m_position < limit) {
        uint8_t pair[2];
        readBytes(pair, 2);
        for (uint8_t c : pair) {
            if (c == 0) ended = true;
            if (!ended && text.size() < MAX_STRING - 1) text.push_back(static_cast<char>(c));
        }
    }
    return m_position - start;
}

float LWO2Reader::readValue(uint16_t& envelope) {
    float value = readF4();
    envelope = readU2();
    return value;
}
