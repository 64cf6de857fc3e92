#pragma once
#include <cstdint>
#include <stdexcept>

#include "engine/platform/ByteBuffer.h"

struct MoveToFrontTable;
class StepCounter;

// Range decoder (32-bit code, 7 extra bits) with an adaptive order-0 model of
// the 256 byte values and an end symbol.
class RangeDecoder {
public:
    class Error : public std::runtime_error {
    public:
        Error() : std::runtime_error("invalid source stream") {}
    };

    static constexpr uint32_t END_SYMBOL = 256;

    // Decodes a whole packed member; `output` ends with exactly the decoded
    // length. Throws Error on a stream that runs past its end or would decode
    // to more than `limit` bytes. With `ranks`, the decoded ranks are turned
    // back into their bytes a slice at a time, sparing a pass over the
    // member; a large member's on another thread, which also counts `steps`.
    static void decode(const ByteBuffer& input, ByteBuffer& output, uint64_t limit = UINT64_MAX,
                       MoveToFrontTable* ranks = nullptr, StepCounter* steps = nullptr);
};
