#include "tools/sarpack/RangeEncoder.h"

#include <cstring>
#include <vector>

#include "engine/platform/archive/FrequencyModel.h"
#include "engine/platform/archive/RangeDecoder.h"

namespace {

constexpr uint32_t TOP = 1u << 31;
constexpr uint32_t BOTTOM = 1u << 23;
constexpr uint32_t SHIFT = 23;

class Encoder {
public:
    explicit Encoder(std::vector<uint8_t>& out) : m_out(out) {}

    void encode(uint32_t cum, uint32_t freq, uint32_t total) {
        normalize();
        uint32_t r = m_range / total;
        uint32_t tmp = r * cum;
        m_low += tmp;
        if (cum + freq < total)
            m_range = r * freq;
        else
            m_range -= tmp;
    }

    void finish() {
        normalize();
        m_byteCount += 5;
        uint32_t tmp = (m_low & (BOTTOM - 1)) < ((m_byteCount & 0xFFFFFF) >> 1) ? m_low >> SHIFT
                                                                                 : (m_low >> SHIFT) + 1;
        if (tmp > 0xFF)
            carry(1, 0);
        else
            carry(0, 0xFF);
        m_out.push_back(static_cast<uint8_t>(tmp));
        m_out.push_back(static_cast<uint8_t>(m_byteCount >> 16));
        m_out.push_back(static_cast<uint8_t>(m_byteCount >> 8));
        m_out.push_back(static_cast<uint8_t>(m_byteCount));
    }

private:
    // Writes the held byte (plus a carry) and the run of pending bytes.
    void carry(uint32_t add, uint8_t pending) {
        m_out.push_back(static_cast<uint8_t>(m_buffer + add));
        for (; m_help; --m_help) m_out.push_back(pending);
    }

    void normalize() {
        while (m_range <= BOTTOM) {
            if (m_low < (0xFFu << SHIFT)) {
                carry(0, 0xFF);
                m_buffer = static_cast<uint8_t>(m_low >> SHIFT);
            } else if (m_low & TOP) {
                carry(1, 0);
                m_buffer = static_cast<uint8_t>(m_low >> SHIFT);
            } else {
                ++m_help;
            }
            m_range <<= 8;
            m_low = (m_low << 8) & (TOP - 1);
            ++m_byteCount;
        }
    }

    std::vector<uint8_t>& m_out;
    uint32_t m_low = 0;
    uint32_t m_range = TOP;
    uint32_t m_help = 0;
    uint8_t m_buffer = 0; // the header byte the decoder skips
    uint32_t m_byteCount = 0;
};

} // namespace

void rangeEncode(const ByteBuffer& input, ByteBuffer& output) {
    FrequencyModel model;
    model.init(257, 1);
    std::vector<uint8_t> out;
    out.reserve(input.size() / 2 + 16);
    Encoder encoder(out);
    auto put = [&](uint32_t s) {
        encoder.encode(model.cumulative(s), model.count(s), model.total());
        model.update(s);
    };
    for (uint32_t i = 0; i < input.size(); ++i) put(input.data()[i]);
    put(RangeDecoder::END_SYMBOL);
    encoder.finish();
    output.resize(static_cast<uint32_t>(out.size()));
    std::memcpy(output.data(), out.data(), out.size());
}
