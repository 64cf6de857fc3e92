#include "engine/platform/archive/FileData.h"

#include <cstdlib>

FileData::~FileData() { std::free(m_data); }

void FileData::setData(uint8_t* data, uint32_t size) {
    if (data != m_data) std::free(m_data);
    m_data = data;
    m_size = size;
}
