#pragma once
#include <cstdint>
#include <stdexcept>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/FrequencyModel.h"

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
    // to more than `limit` bytes.
    static void decode(const ByteBuffer& input, ByteBuffer& output, uint64_t limit = UINT64_MAX);

private:
    explicit RangeDecoder(const ByteBuffer& input);
    uint8_t takeByte();
    void start();
    void normalize();
    uint32_t decodeSymbol(FrequencyModel& model);

    uint32_t m_low = 0;
    uint32_t m_range = 0;
    uint32_t m_help = 0;
    uint8_t m_buffer = 0;
    const ByteBuffer* m_source;
    uint32_t m_readPosition = 0;
};
