#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/platform/archive/DiskFile.h"
#include "game/records/EncryptedRecord.h"
#include "game/records/RecordChecksum.h"
#include "tests/game/GameTestSupport.h"

namespace {

BlowfishContext contextWithKey(const char* key) {
    const uint8_t iv[8] = {};
    BlowfishContext context;
    blowfishSetKey(iv, uint32_t(std::strlen(key)), context, reinterpret_cast<const uint8_t*>(key));
    return context;
}

std::string writeRecords(const TempDir& dir, const BlowfishContext& context, const std::string& first,
                         const std::string& second = std::string()) {
    std::string path = dir.file("records.dat");
    DiskFile file(".\\;..\\");
    EXPECT_TRUE(file.create(path.c_str()));
    EXPECT_TRUE(writeEncryptedRecord(first.data(), uint32_t(first.size()), context, file));
    if (!second.empty()) {
        EXPECT_TRUE(writeEncryptedRecord(second.data(), uint32_t(second.size()), context, file));
    }
    file.close();
    return readWholeFile(path);
}

bool readBack(const TempDir& dir, const std::string& bytes, const BlowfishContext& context, std::string& out,
              uint32_t length) {
    std::string path = dir.write("back.dat", bytes);
    DiskFile file(".\\;..\\");
    EXPECT_TRUE(file.open(path.c_str()));
    out.assign(length, '\0');
    return readEncryptedRecord(file, context, out.data(), length);
}

std::string block(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = char(i * 7 + 1);
    return bytes;
}

} // namespace

TEST(EncryptedRecord, PadsToWholeBlocks) {
    EXPECT_EQ(encryptedRecordSize(210), 4u + 1 + 216);
    EXPECT_EQ(encryptedRecordSize(56), 61u);
    EXPECT_EQ(encryptedRecordSize(4), 13u);
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    for (size_t length : {210u, 56u, 4u}) {
        std::string bytes = writeRecords(dir, context, block(length));
        ASSERT_EQ(bytes.size(), encryptedRecordSize(uint32_t(length)));
        EXPECT_EQ(uint8_t(bytes[4]), recordPadCount(uint32_t(length)));
        uint32_t stored;
        std::memcpy(&stored, bytes.data(), 4);
        EXPECT_EQ(stored, recordChecksum(block(length).data(), uint32_t(length)));
    }
}

TEST(EncryptedRecord, StoresTheBlockEncrypted) {
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    std::string plain = "Player 1 drives the blue moped round the car park";
    std::string bytes = writeRecords(dir, context, plain);
    EXPECT_EQ(bytes.find("Player 1"), std::string::npos);
    std::string out;
    EXPECT_TRUE(readBack(dir, bytes, context, out, uint32_t(plain.size())));
    EXPECT_EQ(out, plain);
}

TEST(EncryptedRecord, EncryptsEachRecordFromTheIv) {
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    std::string plain = block(24);
    std::string bytes = writeRecords(dir, context, plain, plain);
    ASSERT_EQ(bytes.size(), 2 * encryptedRecordSize(24));
    EXPECT_EQ(bytes.substr(0, 29), bytes.substr(29, 29));
}

TEST(EncryptedRecord, RefusesRecordsOfAnotherKey) {
    TempDir dir;
    std::string bytes = writeRecords(dir, contextWithKey("0123456789abcdef"), block(56));
    std::string out;
    EXPECT_FALSE(readBack(dir, bytes, contextWithKey("fedcba9876543210"), out, 56));
}

TEST(EncryptedRecord, RefusesAWrongPadCount) {
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    std::string bytes = writeRecords(dir, context, block(52)) + std::string(8, '\0');
    bytes[4] = 12;
    std::string out;
    EXPECT_FALSE(readBack(dir, bytes, context, out, 52));
}

TEST(EncryptedRecord, RefusesAShortRecordEvenWhenTheChecksumHolds) {
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    std::string bytes = writeRecords(dir, context, block(56));
    std::string out;
    // The checksum only sees the first word, so a record cut after its first block still matches it.
    EXPECT_FALSE(readBack(dir, bytes.substr(0, 5 + 8), context, out, 56));
    EXPECT_EQ(out.substr(0, 8), block(56).substr(0, 8)) << "the decrypted bytes still arrive";
}

TEST(EncryptedRecord, RefusesAFlippedChecksumOrFirstWord) {
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    std::string bytes = writeRecords(dir, context, block(56));
    std::string out;
    for (size_t at : {0u, 3u, 5u, 8u}) {
        std::string damaged = bytes;
        damaged[at] ^= 0x10;
        EXPECT_FALSE(readBack(dir, damaged, context, out, 56)) << at;
    }
}

TEST(EncryptedRecord, ReadsRecordsOneAfterAnother) {
    TempDir dir;
    BlowfishContext context = contextWithKey("0123456789abcdef");
    std::string first = block(210), second = "settings end";
    std::string bytes = writeRecords(dir, context, first, second);
    std::string path = dir.write("two.dat", bytes);
    DiskFile file(".\\;..\\");
    ASSERT_TRUE(file.open(path.c_str()));
    std::string a(210, '\0'), b(second.size(), '\0');
    EXPECT_TRUE(readEncryptedRecord(file, context, a.data(), 210));
    EXPECT_TRUE(readEncryptedRecord(file, context, b.data(), uint32_t(b.size())));
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, second);
}
