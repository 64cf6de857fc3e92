#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/display/FormatDesc.h"

// What a caller wants of a format, filled field by field and then scored over
// a candidate list: weighted bit counts first, then matching component kinds,
// then fewer bits per pixel, then the preference entries in order.
class FormatRequest {
public:
    // Accepts the flag, and among equal scores prefers candidates without it.
    void prefer(uint32_t flag);
    // The candidate's score; -1 when it is rejected.
    int32_t score(const FormatDesc& candidate) const;
    // The best candidate, the earlier one on ties; null when all are rejected.
    const FormatDesc* chooseBest(const std::vector<const FormatDesc*>& candidates) const;

    uint32_t m_minimum[4] = {};
    // Per component: bits 0-7 count cap, bits 8-15 shift cap, bits 16-31 wanted kind.
    uint32_t m_weight[4] = {};
    uint32_t m_maximum[4] = {};
    uint32_t m_requiredFlags = 0;
    uint32_t m_allowedFlags = 0;
    // Top bit clear: wants all these bits; top bit set: the complement of a
    // set of which the candidate should lack at least one bit.
    std::vector<uint32_t> m_preferredFlags;

    static constexpr size_t MAX_PREFERENCES = 12;
};
