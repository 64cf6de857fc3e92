#include "engine/platform/archive/RangeDecoder.h"

#include "engine/platform/archive/BlockSort.h"
#include "engine/platform/archive/FrequencyModel.h"

namespace {

constexpr uint32_t BOTTOM = 1u << 23;
// A well-formed stream ends within a few bytes of its data; past that it is broken.
constexpr uint32_t OVERRUN_SLACK = 4;

// The coder's registers live in locals so the model's stores cannot alias them.
struct Source {
    const uint8_t* data;
    uint32_t size;
    uint32_t position = 0;

    uint8_t take() {
        uint32_t pos = position++;
        if (pos < size) return data[pos];
        if (pos >= size + OVERRUN_SLACK) throw RangeDecoder::Error();
        return 0xFF;
    }
};

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

} // namespace

void RangeDecoder::decode(const ByteBuffer& input, ByteBuffer& output, uint64_t limit, MoveToFrontTable* ranks) {
    const Reciprocals& reciprocal = reciprocals();
    FrequencyModel model;
    model.init(257, 1);
    Source source{input.data(), input.size()};

    source.take(); // the stream's header byte
    uint8_t buffer = source.take();
    uint32_t low = buffer >> 1;
    uint32_t range = 0x80;

    uint32_t written = 0;
    uint32_t room = output.size();
    uint8_t* out = output.data();
    for (;;) {
        while (range <= BOTTOM) {
            low = (low << 8) | ((buffer & 1u) << 7);
            buffer = source.take();
            low |= buffer >> 1;
            range <<= 8;
        }
        const uint32_t total = model.total();
        const uint32_t help = reciprocal.divide(range, total);
        // Past the last symbol's share the end symbol takes the remainder.
        const uint32_t top = help * total;
        uint32_t cum;
        const uint32_t s = model.find(low < top ? low : top - 1, help, cum);
        const uint32_t freq = model.count(s);
        const uint32_t tmp = help * cum;
        low -= tmp;
        range = cum + freq < total ? help * freq : range - tmp;
        model.update(s);

        if (s == END_SYMBOL) break;
        if (written >= limit || written == UINT32_MAX) throw Error();
        if (written >= room) {
            output.resize(written + 1);
            room = output.capacity() > written ? output.capacity() : written + 1;
            output.resize(room);
            out = output.data();
        }
        out[written++] = ranks ? ranks->promote(s) : static_cast<uint8_t>(s);
    }
    output.resize(written);
}
