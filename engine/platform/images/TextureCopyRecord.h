#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class ByteBuffer;
class FileData;

// What a texture's ".dds" copy was built from, kept in the reserved words of the
// copy's DDS header (bytes 32 to 75), so a picture changed since is noticed:
// 32 the tag "PLZ2", 36 the picture's size, 40 the alpha picture's size (0 for
// none), 44 to 59 the MD5 of the picture's bytes followed by the alpha picture's,
// 60 to 75 the MD5 of both as the archive stores them (zero when not known), which
// tells the pictures apart without unpacking them.
struct TextureCopyRecord {
    static constexpr uint32_t TAG = 0x325A4C50;
    static constexpr size_t OFFSET = 32;

    // False when the bytes could not be hashed.
    static bool make(const FileData& picture, const FileData* alphaPicture, TextureCopyRecord& out);
    // False when a picture's stored bytes could not be hashed.
    static bool hashStored(const std::vector<const ByteBuffer*>& stored, uint8_t out[16]);
    // False for a copy without a record, as older builds wrote them.
    static bool read(const uint8_t* dds, size_t size, TextureCopyRecord& out);
    // Into a copy's header; false when the bytes hold no DDS header.
    bool write(std::vector<uint8_t>& dds) const;
    // The pictures' bytes are alike; the stored hashes may differ, as after repacking.
    bool operator==(const TextureCopyRecord& other) const;
    bool knowsStored() const;
    // Both know the stored pictures, and they are alike.
    bool sameStored(const TextureCopyRecord& other) const;

    uint32_t pictureSize = 0;
    uint32_t alphaSize = 0;
    uint8_t hash[16] = {};
    uint8_t storedHash[16] = {};
};
