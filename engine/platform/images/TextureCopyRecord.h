#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class FileData;

// What a texture's ".dds" copy was built from, kept in the reserved words of the
// copy's DDS header (bytes 32 to 75), so a picture changed since is noticed:
// 32 the tag "PLZ2", 36 the picture's size, 40 the alpha picture's size (0 for
// none), 44 to 59 the MD5 of the picture's bytes followed by the alpha picture's.
struct TextureCopyRecord {
    static constexpr uint32_t TAG = 0x325A4C50;
    static constexpr size_t OFFSET = 32;

    // False when the bytes could not be hashed.
    static bool make(const FileData& picture, const FileData* alphaPicture, TextureCopyRecord& out);
    // False for a copy without a record, as older builds wrote them.
    static bool read(const uint8_t* dds, size_t size, TextureCopyRecord& out);
    // Into a copy's header; false when the bytes hold no DDS header.
    bool write(std::vector<uint8_t>& dds) const;
    bool operator==(const TextureCopyRecord& other) const;

    uint32_t pictureSize = 0;
    uint32_t alphaSize = 0;
    uint8_t hash[16] = {};
};
