#include "engine/platform/display/FormatRequest.h"

#include <algorithm>

#include "engine/platform/Report.h"

namespace {

bool withinBounds(uint32_t low, uint32_t value, uint32_t high) {
    return componentKind(low) <= componentKind(value) && componentKind(value) <= componentKind(high) &&
           componentShift(low) <= componentShift(value) && componentShift(value) <= componentShift(high) &&
           componentCount(low) <= componentCount(value) && componentCount(value) <= componentCount(high);
}

bool satisfies(uint32_t flags, uint32_t entry) {
    if (entry & 0x80000000u) {
        uint32_t set = ~entry;
        return (flags & set) != set;
    }
    return (flags & entry) == entry;
}

} // namespace

void FormatRequest::prefer(uint32_t flag) {
    m_allowedFlags |= flag;
    m_preferredFlags.push_back(~flag);
}

int32_t FormatRequest::score(const FormatDesc& candidate) const {
    ENGINE_ASSERT(m_preferredFlags.size() <= 12 && "duplicated preference flags?");
    if ((candidate.flags & m_requiredFlags) != m_requiredFlags) return -1;
    if (candidate.flags & ~m_allowedFlags) return -1;
    for (int k = 0; k < 4; ++k)
        if (!withinBounds(m_minimum[k], candidate.component[k], m_maximum[k])) return -1;

    // Unsigned arithmetic: the score wraps as a 32-bit value would.
    uint32_t s = 0;
    for (int k = 0; k < 4; ++k) {
        uint32_t c = candidate.component[k];
        uint32_t count = std::min(componentCount(c), m_weight[k] & 0xFF);
        uint32_t shift = std::min(componentShift(c), (m_weight[k] >> 8) & 0xFF);
        s += count << shift;
    }
    uint32_t floatMatches = 0, signedMatches = 0;
    for (int k = 0; k < 4; ++k) {
        uint32_t have = componentKind(candidate.component[k]);
        uint32_t want = m_weight[k] >> 16;
        floatMatches += (have == FORMAT_KIND_FLOAT) == (want == FORMAT_KIND_FLOAT);
        signedMatches += (have == FORMAT_KIND_SIGNED) == (want == FORMAT_KIND_SIGNED);
    }
    s = 8 * s + floatMatches;
    s = 8 * s + signedMatches;
    s = 32 * (s + 1) - candidate.bitsPerPixel / 4;
    size_t entries = std::min(m_preferredFlags.size(), MAX_PREFERENCES);
    for (size_t i = 0; i < entries; ++i) s = 2 * s + (satisfies(candidate.flags, m_preferredFlags[i]) ? 1 : 0);
    return static_cast<int32_t>(s);
}

const FormatDesc* FormatRequest::chooseBest(const std::vector<const FormatDesc*>& candidates) const {
    int32_t best = -1;
    const FormatDesc* result = nullptr;
    for (const FormatDesc* candidate : candidates) {
        int32_t s = score(*candidate);
        if (s > best) {
            best = s;
            result = candidate;
        }
    }
    return result;
}
