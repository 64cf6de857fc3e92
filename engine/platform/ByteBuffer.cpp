#include "engine/platform/ByteBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

uint8_t* allocate(uint32_t n) {
    auto* p = static_cast<uint8_t*>(std::malloc(n));
    if (!p) throw std::bad_alloc();
    return p;
}

} // namespace

ByteBuffer::ByteBuffer() : m_size(1), m_capacity(1), m_data(allocate(1)) { m_data[0] = 0; }

ByteBuffer::ByteBuffer(const char* text) : m_size(0), m_capacity(0), m_data(nullptr) {
    assignText(text);
}

ByteBuffer::ByteBuffer(const ByteBuffer& other) : m_size(0), m_capacity(0), m_data(nullptr) {
    assign(other);
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : m_size(other.m_size), m_capacity(other.m_capacity), m_data(other.m_data) {
    other.m_size = 0;
    other.m_capacity = 0;
    other.m_data = nullptr;
}

ByteBuffer& ByteBuffer::operator=(const ByteBuffer& other) {
    if (this != &other) assign(other);
    return *this;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    ByteBuffer moved(std::move(other));
    swap(moved);
    return *this;
}

ByteBuffer::~ByteBuffer() { std::free(m_data); }

void ByteBuffer::resize(uint32_t n) {
    if (n == 0) {
        std::free(m_data);
        m_data = nullptr;
        m_size = 0;
        m_capacity = 0;
        return;
    }
    if (!m_data) {
        m_data = allocate(n);
        m_capacity = n;
    } else if (n > m_capacity) {
        uint32_t step = static_cast<uint32_t>(m_size) / 8;
        if (step < 4) step = 4;
        if (step > 65536) step = 65536;
        uint64_t grown = static_cast<uint64_t>(m_capacity) + step;
        uint32_t capacity = grown > n ? static_cast<uint32_t>(grown > 0xFFFFFFFFu ? 0xFFFFFFFFu : grown) : n;
        uint8_t* data = allocate(capacity);
        std::memcpy(data, m_data, static_cast<uint32_t>(m_size));
        std::free(m_data);
        m_data = data;
        m_capacity = capacity;
    }
    m_size = static_cast<int32_t>(n);
}

void ByteBuffer::assign(const ByteBuffer& other) {
    resize(other.size());
    if (other.size()) std::memmove(m_data, other.m_data, other.size());
}

void ByteBuffer::assignText(const char* text) {
    uint32_t n = static_cast<uint32_t>(std::strlen(text)) + 1;
    resize(n);
    std::memmove(m_data, text, n);
}

void ByteBuffer::swap(ByteBuffer& other) noexcept {
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_data, other.m_data);
}
