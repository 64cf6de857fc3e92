#pragma once
#include <cstdint>

#include "game/records/BlowfishContext.h"

class File;

// One record: u32 checksum (little endian), u8 pad count, then the block and
// its zero padding to whole 8-byte units, Blowfish CFB-64 encrypted.
constexpr uint32_t recordPadCount(uint32_t length) { return (8 - length % 8) % 8; }
constexpr uint32_t encryptedRecordSize(uint32_t length) { return 4 + 1 + length + recordPadCount(length); }

// Keys a record owner's cipher: an all-zero iv and the owner's text key.
void keyRecordCipher(BlowfishContext& context, const char* key);

// False when the file took fewer bytes than the record has.
bool writeEncryptedRecord(const void* data, uint32_t length, const BlowfishContext& context, File& file);

// True only for a whole record of exactly this length whose pad count and
// checksum hold. The destination receives the decrypted bytes either way.
bool readEncryptedRecord(File& file, const BlowfishContext& context, void* destination, uint32_t length);
