#include "game/records/EncryptedRecord.h"

#include <cstring>
#include <vector>

#include "engine/platform/archive/File.h"
#include "game/records/RecordBytes.h"
#include "game/records/RecordChecksum.h"

namespace {

bool readExactly(File& file, void* buffer, uint32_t count) {
    return count == 0 || file.read(buffer, count) == static_cast<int32_t>(count);
}

} // namespace

void keyRecordCipher(BlowfishContext& context, const char* key) {
    const uint8_t iv[8] = {};
    blowfishSetKey(iv, uint32_t(std::strlen(key)), context, reinterpret_cast<const uint8_t*>(key));
}

bool writeEncryptedRecord(const void* data, uint32_t length, const BlowfishContext& context, File& file) {
    uint8_t header[5];
    RecordBytes::putU32(header, recordChecksum(data, length));
    header[4] = uint8_t(recordPadCount(length));
    std::vector<uint8_t> block(length + recordPadCount(length), 0);
    if (length > 0) std::memcpy(block.data(), data, length);
    blowfishEncryptBuffer(BLOWFISH_CFB64, block.data(), uint32_t(block.size()), context);
    if (file.write(header, sizeof header) != int32_t(sizeof header)) return false;
    return block.empty() || file.write(block.data(), uint32_t(block.size())) == int32_t(block.size());
}

bool readEncryptedRecord(File& file, const BlowfishContext& context, void* destination, uint32_t length) {
    uint8_t header[5] = {};
    std::vector<uint8_t> block(length + recordPadCount(length), 0);
    // A short read leaves zeros behind; the record is refused below, but the
    // destination still gets what was decrypted, as callers expect.
    bool whole = readExactly(file, header, sizeof header);
    whole = whole && header[4] == recordPadCount(length);
    whole = whole && readExactly(file, block.data(), uint32_t(block.size()));
    blowfishDecryptBuffer(BLOWFISH_CFB64, block.data(), uint32_t(block.size()), context);
    if (length > 0) std::memcpy(destination, block.data(), length);
    return whole && recordChecksum(destination, length) == RecordBytes::getU32(header);
}
