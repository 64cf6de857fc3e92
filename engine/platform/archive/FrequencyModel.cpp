#include "engine/platform/archive/FrequencyModel.h"

void FrequencyModel::init(uint32_t symbolCount, uint32_t increment) {
    m_symbolCount = symbolCount < MAX_SYMBOLS ? symbolCount : MAX_SYMBOLS;
    m_increment = increment;
    m_groupCount = (m_symbolCount + (1u << GROUP_SHIFT) - 1) >> GROUP_SHIFT;
    for (uint32_t s = 0; s < (m_groupCount << GROUP_SHIFT); ++s) m_counts[s] = s < m_symbolCount ? increment : 0;
    sumGroups();
}

void FrequencyModel::sumGroups() {
    m_total = 0;
    for (uint32_t g = 0; g < m_groupCount; ++g) {
        uint32_t sum = 0;
        for (uint32_t k = 0; k < (1u << GROUP_SHIFT); ++k) sum += m_counts[(g << GROUP_SHIFT) + k];
        m_groups[g] = sum;
        m_total += sum;
    }
}

void FrequencyModel::rescale() {
    // (c + 1) >> 1 never drops a live symbol to 0; the padding stays 0.
    for (uint32_t s = 0; s < m_symbolCount; ++s) m_counts[s] = (m_counts[s] + 1) >> 1;
    sumGroups();
}

uint32_t FrequencyModel::cumulative(uint32_t symbol) const {
    uint32_t cum = 0;
    uint32_t g = symbol >> GROUP_SHIFT;
    for (uint32_t k = 0; k < g; ++k) cum += m_groups[k];
    for (uint32_t s = g << GROUP_SHIFT; s < symbol; ++s) cum += m_counts[s];
    return cum;
}
