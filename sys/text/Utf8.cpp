#include "sys/text/Utf8.h"

namespace sys {

uint32_t decodeUtf8(const unsigned char* p, size_t left, size_t& used) {
    const uint32_t c = p[0];
    const size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    used = 1;
    if (length <= 1) return length ? c : 0;
    uint32_t code = c & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if (i >= left || (p[i] & 0xC0) != 0x80) {
            used = i;
            return 0;
        }
        code = code << 6 | (p[i] & 0x3F);
    }
    used = length;
    return code;
}

} // namespace sys
