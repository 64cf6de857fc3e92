#pragma once
#include <cstdint>

// Adaptive order-0 symbol frequencies; shared by the archive's range decoder
// and the packer's encoder so both adapt alike. Counts are kept with running
// sums per group of 16 symbols: an update touches two words and a search
// over the skewed counts of block-sorted data ends in the first group.
class FrequencyModel {
public:
    // Counts are halved once the total reaches this.
    static constexpr uint32_t RESCALE_LIMIT = 16384;
    // The archive's 256 byte values and its end symbol.
    static constexpr uint32_t MAX_SYMBOLS = 257;

    // At most MAX_SYMBOLS symbols.
    void init(uint32_t symbolCount, uint32_t increment);
    void update(uint32_t symbol);

    // Sum of the counts of the symbols below `symbol`.
    uint32_t cumulative(uint32_t symbol) const;
    // The symbol whose cumulative range, each count worth `unit`, holds
    // `scaled` (scaled < unit * total, which must fit 32 bits); `below` gets
    // its cumulative count. Products, not a quotient, keep division out.
    uint32_t find(uint32_t scaled, uint32_t unit, uint32_t& below) const;

    uint32_t count(uint32_t symbol) const { return m_counts[symbol]; }
    uint32_t total() const { return m_total; }
    uint32_t symbolCount() const { return m_symbolCount; }

private:
    static constexpr uint32_t GROUP_SHIFT = 4;
    static constexpr uint32_t MAX_GROUPS = (MAX_SYMBOLS + (1u << GROUP_SHIFT) - 1) >> GROUP_SHIFT;
    void rescale();
    void sumGroups();

    uint32_t m_symbolCount = 0;
    uint32_t m_groupCount = 0;
    uint32_t m_increment = 0;
    uint32_t m_total = 0;
    // In the object, not behind pointers: the decoder's byte stores could
    // alias a pointer, which would then be loaded again for every symbol.
    uint32_t m_counts[MAX_GROUPS << GROUP_SHIFT]; // padded with zeros to whole groups
    uint32_t m_groups[MAX_GROUPS];
};

// The two calls made for every decoded byte stay inline.
inline void FrequencyModel::update(uint32_t symbol) {
    m_counts[symbol] += m_increment;
    m_groups[symbol >> GROUP_SHIFT] += m_increment;
    m_total += m_increment;
    if (m_total >= RESCALE_LIMIT) rescale();
}

inline uint32_t FrequencyModel::find(uint32_t scaled, uint32_t unit, uint32_t& below) const {
    const uint32_t* counts = m_counts;
    below = 0;
    // Most ranks of block-sorted data are 0: one product settles them.
    if (scaled < unit * counts[0]) return 0;
    const uint32_t* groups = m_groups;
    const uint32_t last = m_groupCount - 1;
    uint32_t g = 0;
    while (g < last && scaled >= unit * (below + groups[g])) {
        below += groups[g];
        ++g;
    }
    uint32_t s = g << GROUP_SHIFT;
    const uint32_t end = s + (1u << GROUP_SHIFT) - 1;
    while (s < end && scaled >= unit * (below + counts[s])) {
        below += counts[s];
        ++s;
    }
    return s;
}
