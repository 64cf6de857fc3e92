#pragma once
#include <memory>
#include <string>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/archive/File.h"

// One file's bytes, read ahead, served as the open file of that name.
class MemberFile : public File {
public:
    MemberFile(std::string name, ByteBuffer bytes);

    // Another stream over the same bytes, not open.
    File* clone() override;
    bool exists(const char* name) override;
    bool open(const char* name) override;
    bool create(const char*) override { return false; }
    bool close() override;
    int32_t read(void* buffer, uint32_t count) override;
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override;
    bool skip(int32_t count) override;
    uint32_t tell() override { return m_position; }

private:
    MemberFile(std::string name, std::shared_ptr<const ByteBuffer> bytes);

    std::string m_name;
    std::shared_ptr<const ByteBuffer> m_bytes;
    uint32_t m_position = 0;
};
