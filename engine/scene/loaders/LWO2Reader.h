#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/scene/materials/LWOId.h"

class File;

// Big-endian LWO2 values from an object file that may be cut short or lie
// about its sizes: nothing is read past the file's end (missing bytes read as
// zero), and every read moves the position on, so loops "until the end" stop.
class LWO2Reader {
public:
    // Starts at the stream's current position.
    explicit LWO2Reader(File& file);

    uint32_t position() const { return m_position; }
    uint32_t size() const { return m_size; }

    // Where a piece of `size` bytes starting here ends, padded to even as IFF
    // pads, and never past `limit`.
    uint32_t endOf(uint32_t size, uint32_t limit) const;
    // Moves to the position, at most to the file's end.
    void seek(uint32_t position);

    uint8_t readU1();
    uint16_t readU2();
    uint32_t readU4();
    float readF4();
    uint32_t readVX();
    uint32_t readID4() { return readU4(); }
    // Pairs of bytes up to the pair ending in NUL, never past `limit`; the
    // text keeps at most MAX_STRING - 1 bytes. The bytes consumed.
    uint32_t readS0(std::string& text, uint32_t limit);
    // A float and the 16-bit envelope index after it.
    float readValue(uint16_t& envelope);

    static constexpr uint32_t MAX_STRING = 1000;

private:
    void readBytes(uint8_t* out, uint32_t count);
    // Where the bytes are not all in the slice: reads on, and zeros past the end.
    void readAcrossSlices(uint8_t* out, uint32_t count);

    File& m_file;
    uint32_t m_position;
    uint32_t m_size;
    // A slice of the file from m_sliceStart: an object's values are millions of two- and four-byte reads.
    std::vector<uint8_t> m_slice;
    uint32_t m_sliceStart = 0;
    uint32_t m_sliceLength = 0;
};
