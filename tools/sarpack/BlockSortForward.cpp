#include "tools/sarpack/BlockSortForward.h"

#include <divsufsort.h>

#include <memory>
#include <stdexcept>

#include "engine/platform/archive/BlockSort.h"

uint32_t forwardBwt(const ByteBuffer& input, ByteBuffer& output) {
    const uint32_t n = input.size();
    output.resize(n);
    if (n == 0) return 0;
    // With a unique smallest sentinel, sorting the rotations of text + sentinel
    // is sorting the suffixes of the text; row 0 is the sentinel's own suffix.
    // Every entry is written by the sort, so none is cleared first.
    std::unique_ptr<saidx_t[]> sa(new saidx_t[n]);
    if (divsufsort(input.data(), sa.get(), static_cast<saidx_t>(n)) != 0)
        throw std::runtime_error("suffix sorting failed");
    const uint8_t* text = input.data();
    uint8_t* out = output.data();
    uint32_t written = 0;
    out[written++] = text[n - 1];
    uint32_t primary = 0;
    for (uint32_t row = 1; row <= n; ++row) {
        uint32_t pos = static_cast<uint32_t>(sa[row - 1]);
        if (pos == 0)
            primary = row;
        else
            out[written++] = text[pos - 1];
    }
    return primary;
}

void forwardMoveToFront(const ByteBuffer& input, ByteBuffer& output) {
    MoveToFrontTable mtf;
    uint8_t where[256];
    for (int i = 0; i < 256; ++i) where[i] = static_cast<uint8_t>(i);
    const uint32_t n = input.size();
    output.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t rank = where[input.data()[i]];
        output.data()[i] = rank;
        mtf.promote(rank);
        // Only the first rank + 1 places can have moved.
        for (uint32_t k = 0; k <= rank; ++k) where[mtf.table[k]] = static_cast<uint8_t>(k);
    }
}
