#pragma once
#include <cstddef>
#include <cstdint>

namespace sys {

// The character of the UTF-8 sequence at p (at most `left` bytes, at least
// one); 0 for a broken one. `used` gets the bytes it takes, never more than
// `left`: the whole sequence, or those up to where a broken one breaks off.
uint32_t decodeUtf8(const unsigned char* p, size_t left, size_t& used);

} // namespace sys
