#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/ByteBuffer.h"

// Builds a "data.sar" archive from members held in memory.
class ArchiveWriter {
public:
    explicit ArchiveWriter(uint32_t layout = 0) : m_layout(layout) {}

    // `name` is stored with '/' turned into '\'; flags bit 0 range-codes the
    // member, bit 1 block-sorts it. False for a name the archive cannot hold.
    // The bytes are kept as given and packed when the archive is written.
    bool add(const std::string& name, const ByteBuffer& data, uint8_t flags);
    bool add(const std::string& name, const std::string& data, uint8_t flags);
    // A member of that name is kept already, as the archive compares names:
    // without case, '/' read as '\'. The game would only ever find the first.
    bool has(const std::string& name) const;

    // Packs the members on several cores at once and writes the archive, its
    // bytes the same whatever order the packing ends in; false with a message
    // in `error` on failure, and before any packing for a path that is there
    // and no plain file.
    bool write(const std::string& path, std::string& error) const;

private:
    struct Member {
        std::string name;
        uint8_t flags;
        ByteBuffer data;
    };
    struct Packed {
        ByteBuffer stored; // including the trailing primary index when block-sorted
        uint32_t storedSize = 0;
        uint32_t unpackedSize = 0;
    };
    bool keep(const std::string& name, ByteBuffer&& data, uint8_t flags);
    bool packAll(std::vector<Packed>& packed, std::string& error) const;

    uint32_t m_layout;
    std::vector<Member> m_members;
};

// Packs one member's bytes the way the archive stores them.
void packMember(const ByteBuffer& data, uint8_t flags, ByteBuffer& stored, uint32_t& storedSize,
                uint32_t& unpackedSize);
