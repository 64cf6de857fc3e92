#include "engine/platform/archive/RangeDecoder.h"

#include <algorithm>
#include <memory>

#include "engine/platform/archive/BlockSort.h"
#include "engine/platform/archive/FrequencyModel.h"
#include "engine/platform/archive/MoveToFrontThread.h"

namespace {

constexpr uint32_t BOTTOM = 1u << 23;
// A well-formed stream ends within a few bytes of its data; past that it is broken.
constexpr uint32_t OVERRUN_SLACK = 4;
// Symbols decoded between looks at the output's room and the ranks' progress.
constexpr uint32_t SLICE = 1u << 17;
// From this size the ranks become bytes on another thread; below it a
// thread costs more than it saves, and each slice is turned while cached.
constexpr uint32_t RANK_THREAD_MIN = 1u << 20;
constexpr uint32_t NO_SYMBOL = UINT32_MAX;

// range / total is the decoder's one division; the model's total stays below
// the rescale limit, so it becomes a product with a reciprocal from a table.
// A 64-bit reciprocal misses by less than 2^-32, below any fraction x / total.
struct Reciprocals {
    uint64_t of[FrequencyModel::RESCALE_LIMIT + 1];
    Reciprocals() {
        of[0] = of[1] = 0; // totals start at 257
        for (uint32_t d = 2; d <= FrequencyModel::RESCALE_LIMIT; ++d) of[d] = UINT64_MAX / d + 1;
    }
    uint32_t divide(uint32_t x, uint32_t d) const {
        return static_cast<uint32_t>((static_cast<unsigned __int128>(x) * of[d]) >> 64);
    }
};

const Reciprocals& reciprocals() {
    static const Reciprocals table;
    return table;
}

// The decoder's state between slices.
class Stream {
public:
    // The stream's first byte is its header; the code starts with the
    // second's seven high bits.
    explicit Stream(const ByteBuffer& input)
        : m_data(input.data()), m_size(input.size()), m_low(take(1) >> 1), m_buffer(take(1)) {
        m_model.init(257, 1);
    }

    bool finished() const { return m_finished; }

    // Decodes up to `room` symbols into `out`, fewer when the end symbol
    // comes first; a symbol without room waits for the next call.
    uint32_t decodeSlice(uint8_t* out, uint32_t room) {
        uint32_t count = 0;
        if (m_pending != NO_SYMBOL) {
            if (room == 0) return 0;
            out[count++] = static_cast<uint8_t>(m_pending);
            m_pending = NO_SYMBOL;
        }
        // The coder's registers live in locals so the model's and the
        // output's stores cannot alias them.
        const Reciprocals& reciprocal = reciprocals();
        uint32_t low = m_low, range = m_range, position = m_position;
        uint8_t buffer = m_buffer;
        for (;;) {
            while (range <= BOTTOM) {
                low = (low << 8) | ((buffer & 1u) << 7);
                buffer = take(position++);
                low |= buffer >> 1;
                range <<= 8;
            }
            const uint32_t total = m_model.total();
            const uint32_t help = reciprocal.divide(range, total);
            // Past the last symbol's share the end symbol takes the remainder.
            const uint32_t top = help * total;
            uint32_t cum;
            const uint32_t s = m_model.find(low < top ? low : top - 1, help, cum);
            const uint32_t freq = m_model.count(s);
            const uint32_t tmp = help * cum;
            low -= tmp;
            range = cum + freq < total ? help * freq : range - tmp;
            m_model.update(s);

            if (s == RangeDecoder::END_SYMBOL) {
                m_finished = true;
                break;
            }
            if (count == room) {
                m_pending = s;
                break;
            }
            out[count++] = static_cast<uint8_t>(s);
        }
        m_low = low;
        m_range = range;
        m_position = position;
        m_buffer = buffer;
        return count;
    }

private:
    uint8_t take(uint32_t position) const {
        if (position < m_size) return m_data[position];
        if (position >= m_size + OVERRUN_SLACK) throw RangeDecoder::Error();
        return 0xFF;
    }

    const uint8_t* const m_data;
    const uint32_t m_size;
    uint32_t m_position = 2;
    uint32_t m_low;
    uint32_t m_range = 0x80;
    uint8_t m_buffer;
    uint32_t m_pending = NO_SYMBOL;
    bool m_finished = false;
    FrequencyModel m_model;
};

} // namespace

void RangeDecoder::decode(const ByteBuffer& input, ByteBuffer& output, uint64_t limit, MoveToFrontTable* ranks,
                          StepCounter* steps) {
    Stream stream(input);
    const uint32_t most = static_cast<uint32_t>(std::min<uint64_t>(limit, UINT32_MAX - 1));
    std::unique_ptr<MoveToFrontThread> beside;
    if (ranks && output.size() >= RANK_THREAD_MIN) beside = std::make_unique<MoveToFrontThread>(output.data(), *ranks, steps);
    uint32_t written = 0;
    while (!stream.finished()) {
        if (written == output.size() && written < most) {
            // The buffer moves: ranks still to turn are turned here from now on.
            if (beside) beside->finish();
            beside.reset();
            output.resize(written + 1);
            output.resize(std::max(output.capacity(), written + 1));
        }
        const uint32_t room = std::min({output.size() - written, most - written, SLICE});
        uint8_t* out = output.data() + written;
        const uint32_t n = stream.decodeSlice(out, room);
        if (n == 0 && !stream.finished()) throw Error(); // a symbol past the limit
        if (ranks && !beside) ranks->turn(out, n);
        written += n;
        if (beside) beside->decoded(written);
    }
    if (beside) beside->finish();
    output.resize(written);
}
