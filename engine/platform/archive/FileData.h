#pragma once
#include <cstdint>
#include <string>

#include "engine/platform/RefCounted.h"

class Image;

// A named block of bytes read from a file.
class FileData : public RefCounted {
public:
    explicit FileData(const char* name) : m_name(name ? name : "") {}
    ~FileData() override;

    virtual Image* asImage() { return nullptr; }

    // Owned bytes, allocated with std::malloc; replaces and frees the old block.
    void setData(uint8_t* data, uint32_t size);
    uint8_t* getData() { return m_data; }
    const uint8_t* getData() const { return m_data; }
    uint32_t getSize() const { return m_size; }
    const std::string& getName() const { return m_name; }

private:
    uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    std::string m_name;
};
