#include "engine/render/ShaderValueSet.h"

#include <cstring>

const ShaderValueSet::Record* ShaderValueSet::find(const char* name) const {
    for (const Record& r : m_records)
        if (std::strcmp(r.name, name) == 0) return &r;
    return nullptr;
}

void ShaderValueSet::clear() { m_records.clear(); }

uint32_t* ShaderValueSet::add(const char* name, uint32_t count) {
    m_records.push_back(Record{name, count, std::vector<uint32_t>(count, 0)});
    return m_records.back().storage.data();
}
