#include "engine/platform/RangeDecoder.h"

namespace {

constexpr uint32_t BOTTOM = 1u << 23;
// A well-formed stream ends within a few bytes of its data; past that it is broken.
constexpr uint32_t OVERRUN_SLACK = 4;

} // namespace

RangeDecoder::RangeDecoder(const ByteBuffer& input) : m_source(&input) {}

uint8_t RangeDecoder::takeByte() {
    uint32_t pos = m_readPosition++;
    if (pos < m_source->size()) return m_source->data()[pos];
    if (pos >= m_source->size() + OVERRUN_SLACK) throw Error();
    return 0xFF;
}

void RangeDecoder::start() {
    if (!m_source) throw Error();
    takeByte();
    m_buffer = takeByte();
    m_low = m_buffer >> 1;
    m_range = 0x80;
}

void RangeDecoder::normalize() {
    while (m_range <= BOTTOM) {
        m_low = (m_low << 8) | ((m_buffer & 1u) << 7);
        if (!m_source) throw Error();
        m_buffer = takeByte();
        m_low |= m_buffer >> 1;
        m_range <<= 8;
    }
}

uint32_t RangeDecoder::decodeSymbol(FrequencyModel& model) {
    normalize();
    const uint32_t total = model.total();
    m_help = m_range / total;
    uint32_t v = m_low / m_help;
    if (v >= total) v = total - 1;
    uint32_t cum = 0;
    uint32_t s = model.find(v, cum);
    uint32_t freq = model.count(s);
    uint32_t tmp = m_help * cum;
    m_low -= tmp;
    if (cum + freq < total)
        m_range = m_help * freq;
    else
        m_range -= tmp;
    model.update(s);
    return s;
}

void RangeDecoder::decode(const ByteBuffer& input, ByteBuffer& output, uint64_t limit) {
    FrequencyModel model;
    model.init(257, 1);
    RangeDecoder decoder(input);
    decoder.start();
    uint32_t written = 0;
    for (;;) {
        uint32_t s = decoder.decodeSymbol(model);
        if (s == END_SYMBOL) break;
        if (written >= limit || written == UINT32_MAX) throw Error();
        if (written >= output.size()) output.resize(written + 1);
        output.data()[written++] = static_cast<uint8_t>(s);
    }
    output.resize(written);
}
