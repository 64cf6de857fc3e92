#include "engine/platform/FrequencyModel.h"

void FrequencyModel::init(uint32_t symbolCount, uint32_t increment) {
    m_symbolCount = symbolCount;
    m_increment = increment;
    m_counts.assign(symbolCount, increment);
    m_tree.assign(symbolCount + 1, 0);
    m_topBit = 1;
    while (m_topBit * 2 <= symbolCount) m_topBit *= 2;
    buildTree();
}

void FrequencyModel::buildTree() {
    const uint32_t n = m_symbolCount;
    m_total = 0;
    for (uint32_t step = 1; step <= n; step *= 2) {
        for (uint32_t i = step; i <= n; i += 2 * step) {
            m_tree[i] = m_counts[i - 1];
            m_total += m_counts[i - 1];
            for (uint32_t k = step / 2; k >= 1; k /= 2) m_tree[i] += m_tree[i - k];
        }
    }
}

void FrequencyModel::update(uint32_t symbol) {
    m_counts[symbol] += m_increment;
    for (uint32_t i = symbol + 1; i <= m_symbolCount; i += i & (0u - i)) m_tree[i] += m_increment;
    m_total += m_increment;
    if (m_total >= RESCALE_LIMIT) {
        for (uint32_t& c : m_counts) c = (c + 1) >> 1;
        buildTree();
    }
}

uint32_t FrequencyModel::cumulative(uint32_t symbol) const {
    uint32_t cum = m_tree[symbol + 1] - m_counts[symbol];
    for (uint32_t j = (symbol + 1) & symbol; j != 0; j &= j - 1) cum += m_tree[j];
    return cum;
}

uint32_t FrequencyModel::find(uint32_t v, uint32_t& below) const {
    uint32_t s = 0;
    below = 0;
    for (uint32_t bit = m_topBit; bit != 0; bit >>= 1) {
        uint32_t c = s | bit;
        if (c <= m_symbolCount && v >= m_tree[c]) {
            v -= m_tree[c];
            below += m_tree[c];
            s = c;
        }
    }
    return s;
}
