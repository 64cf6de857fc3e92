#include "tools/lightwave/IffBuffer.h"

#include <cstring>
#include <stdexcept>

void IffBuffer::u1(uint8_t v) { m_data.push_back(v); }

void IffBuffer::u2(uint16_t v) {
    u1(static_cast<uint8_t>(v >> 8));
    u1(static_cast<uint8_t>(v));
}

void IffBuffer::u4(uint32_t v) {
    u2(static_cast<uint16_t>(v >> 16));
    u2(static_cast<uint16_t>(v));
}

void IffBuffer::f4(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u4(bits);
}

void IffBuffer::vx(uint32_t index) {
    if (index < 0xFF00) {
        u2(static_cast<uint16_t>(index));
        return;
    }
    u4(0xFF000000u | (index & 0x00FFFFFFu));
}

void IffBuffer::s0(const std::string& text) {
    for (char c : text) u1(static_cast<uint8_t>(c));
    u1(0);
    if ((text.size() + 1) % 2) u1(0);
}

void IffBuffer::id4(const std::string& id) {
    for (size_t i = 0; i < 4; ++i) u1(static_cast<uint8_t>(i < id.size() ? id[i] : ' '));
}

void IffBuffer::bytes(const std::vector<uint8_t>& data) { m_data.insert(m_data.end(), data.begin(), data.end()); }

void IffBuffer::beginChunk(const std::string& id, int sizeBytes) {
    id4(id);
    m_open.push_back({m_data.size(), sizeBytes});
    if (sizeBytes == 4)
        u4(0);
    else
        u2(0);
}

void IffBuffer::endChunk(int64_t declaredSize) {
    if (m_open.empty()) throw std::logic_error("IffBuffer: endChunk without beginChunk");
    Open open = m_open.back();
    m_open.pop_back();
    size_t length = m_data.size() - open.sizeAt - open.sizeBytes;
    uint64_t size = declaredSize < 0 ? length : static_cast<uint64_t>(declaredSize);
    for (int i = 0; i < open.sizeBytes; ++i)
        m_data[open.sizeAt + i] = static_cast<uint8_t>(size >> (8 * (open.sizeBytes - 1 - i)));
    if (length % 2) u1(0);
}

size_t s0Length(const std::string& text) { return text.size() + 1 + ((text.size() + 1) % 2); }
