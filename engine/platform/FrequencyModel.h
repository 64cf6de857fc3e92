#pragma once
#include <cstdint>
#include <vector>

// Adaptive order-0 symbol frequencies over a Fenwick tree; shared by the
// archive's range decoder and the packer's encoder so both adapt alike.
class FrequencyModel {
public:
    // Counts are halved once the total reaches this.
    static constexpr uint32_t RESCALE_LIMIT = 16384;

    void init(uint32_t symbolCount, uint32_t increment);
    void update(uint32_t symbol);

    // Sum of the counts of the symbols below `symbol`.
    uint32_t cumulative(uint32_t symbol) const;
    // The symbol whose cumulative range holds v (v < total); `below` gets its cumulative count.
    uint32_t find(uint32_t v, uint32_t& below) const;

    uint32_t count(uint32_t symbol) const { return m_counts[symbol]; }
    uint32_t total() const { return m_total; }
    uint32_t symbolCount() const { return m_symbolCount; }

private:
    void buildTree();

    uint32_t m_symbolCount = 0;
    uint32_t m_increment = 0;
    uint32_t m_topBit = 0;
    std::vector<uint32_t> m_counts;
    std::vector<uint32_t> m_tree; // indexed 1..n
    uint32_t m_total = 0;
};
