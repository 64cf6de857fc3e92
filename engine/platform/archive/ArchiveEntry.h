#pragma once
#include <cstdint>

// One directory entry of a "data.sar" archive as it is kept in memory.
struct ArchiveEntry {
    static constexpr uint32_t MAX_NAME = 253; // the NUL must fit before the flags
    enum : uint8_t { PACKED = 0x01, BLOCK_SORTED = 0x02, KNOWN_FLAGS = 0x03 };

    uint8_t nameLength;
    char name[MAX_NAME + 1];
    uint8_t flags;
    uint32_t offset;
    uint32_t storedSize;
    uint32_t unpackedSize;
};

// Header words of the archive file.
constexpr uint32_t ARCHIVE_MAGIC = 0x43524153; // "SARC"
constexpr uint32_t ARCHIVE_HEADER_SIZE = 12;
