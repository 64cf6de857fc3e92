#include "engine/scene/DrawList.h"

#include <algorithm>
#include <cmath>

bool DrawList::drawsBefore(const DrawRecord& a, const DrawRecord& b) {
    if (a.transparent != b.transparent) return !a.transparent;
    // A broken transform's NaN goes last instead of breaking the sort's order.
    if (std::isnan(a.key) || std::isnan(b.key)) return !std::isnan(a.key) && std::isnan(b.key);
    return a.key < b.key;
}

void DrawList::sort() { std::sort(m_records.begin(), m_records.end(), drawsBefore); }
