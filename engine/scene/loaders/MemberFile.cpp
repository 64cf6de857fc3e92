#include "engine/scene/loaders/MemberFile.h"

#include <algorithm>
#include <cstring>

MemberFile::MemberFile(std::string name, ByteBuffer bytes)
    : MemberFile(std::move(name), std::make_shared<const ByteBuffer>(std::move(bytes))) {
    m_size = m_bytes->size();
}

MemberFile::MemberFile(std::string name, std::shared_ptr<const ByteBuffer> bytes)
    : m_name(std::move(name)), m_bytes(std::move(bytes)) {}

File* MemberFile::clone() { return new MemberFile(m_name, m_bytes); }

bool MemberFile::exists(const char* name) { return name && m_name == name; }

bool MemberFile::open(const char* name) {
    if (!exists(name)) return false;
    m_size = m_bytes->size();
    m_position = 0;
    return true;
}

bool MemberFile::close() {
    m_size = 0;
    m_position = 0;
    return true;
}

int32_t MemberFile::read(void* buffer, uint32_t count) {
    const uint32_t n = std::min({count, m_size - m_position, 0x7FFFFFFFu});
    if (n) std::memcpy(buffer, m_bytes->data() + m_position, n);
    m_position += n;
    return static_cast<int32_t>(n);
}

bool MemberFile::seek(uint32_t position) {
    m_position = std::min(position, m_size);
    return true;
}

bool MemberFile::skip(int32_t count) { return seek(m_position + static_cast<uint32_t>(count)); }
