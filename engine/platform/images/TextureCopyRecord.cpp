#include "engine/platform/images/TextureCopyRecord.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/archive/FileData.h"
#include "engine/platform/archive/Md5Hash.h"

namespace {

// The magic and the 124-byte header.
constexpr size_t DDS_HEADER_BYTES = 128;
// The record ends before the pixel format at byte 76.
static_assert(TextureCopyRecord::OFFSET + 12 + 16 + 16 <= 76, "the record fits the reserved words");

uint32_t get(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void put(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

} // namespace

bool TextureCopyRecord::make(const FileData& picture, const FileData* alphaPicture, TextureCopyRecord& out) {
    std::vector<uint8_t> bytes(picture.getData(), picture.getData() + picture.getSize());
    if (alphaPicture)
        bytes.insert(bytes.end(), alphaPicture->getData(), alphaPicture->getData() + alphaPicture->getSize());
    out.pictureSize = picture.getSize();
    out.alphaSize = alphaPicture ? alphaPicture->getSize() : 0;
    return Md5Hash().compute(bytes.data(), uint32_t(bytes.size()), out.hash);
}

bool TextureCopyRecord::hashStored(const std::vector<const ByteBuffer*>& stored, uint8_t out[16]) {
    std::vector<uint8_t> bytes;
    for (const ByteBuffer* picture : stored) bytes.insert(bytes.end(), picture->data(), picture->data() + picture->size());
    return Md5Hash().compute(bytes.data(), uint32_t(bytes.size()), out);
}

bool TextureCopyRecord::read(const uint8_t* dds, size_t size, TextureCopyRecord& out) {
    if (!dds || size < DDS_HEADER_BYTES) return false;
    const uint8_t* at = dds + OFFSET;
    if (get(at) != TAG) return false;
    out.pictureSize = get(at + 4);
    out.alphaSize = get(at + 8);
    std::memcpy(out.hash, at + 12, sizeof out.hash);
    std::memcpy(out.storedHash, at + 28, sizeof out.storedHash);
    return true;
}

bool TextureCopyRecord::write(std::vector<uint8_t>& dds) const {
    if (dds.size() < DDS_HEADER_BYTES) return false;
    uint8_t* at = dds.data() + OFFSET;
    put(at, TAG);
    put(at + 4, pictureSize);
    put(at + 8, alphaSize);
    std::memcpy(at + 12, hash, sizeof hash);
    std::memcpy(at + 28, storedHash, sizeof storedHash);
    return true;
}

bool TextureCopyRecord::operator==(const TextureCopyRecord& other) const {
    return pictureSize == other.pictureSize && alphaSize == other.alphaSize &&
           std::equal(std::begin(hash), std::end(hash), std::begin(other.hash));
}

bool TextureCopyRecord::knowsStored() const {
    return std::any_of(std::begin(storedHash), std::end(storedHash), [](uint8_t byte) { return byte != 0; });
}

bool TextureCopyRecord::sameStored(const TextureCopyRecord& other) const {
    return knowsStored() && std::equal(std::begin(storedHash), std::end(storedHash), std::begin(other.storedHash));
}
