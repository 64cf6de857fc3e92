#include <gtest/gtest.h>

#include <cstring>

#include "game/records/RecordChecksum.h"

TEST(RecordChecksum, TableIsTheMsbFirstCrcTable) {
    EXPECT_EQ(recordChecksumTableEntry(0), 0u);
    EXPECT_EQ(recordChecksumTableEntry(1), 0x04C11DB7u);
    EXPECT_EQ(recordChecksumTableEntry(255), 0xB1F740B4u);
}

TEST(RecordChecksum, GivesThePublishedValues) {
    EXPECT_EQ(recordChecksum("", 0), 0u);
    EXPECT_EQ(recordChecksum("abc", 3), 0xD9D5C2DBu);
}

TEST(RecordChecksum, FoldsTheFirstWordOncePerWord) {
    EXPECT_EQ(recordChecksum("abcd", 4), 0xCB5FA5B5u);
    EXPECT_EQ(recordChecksum("abcdefgh", 8), 0x57FE7EB6u);
    EXPECT_EQ(recordChecksum("abcdabcd", 8), 0x57FE7EB6u);
    EXPECT_EQ(recordChecksum("123456789", 9), 0x1AD9557Cu);
}

TEST(RecordChecksum, IgnoresBytesAfterTheFirstWordButSeesTheLength) {
    unsigned char block[210];
    for (int i = 0; i < 210; ++i) block[i] = unsigned(i);
    uint32_t original = recordChecksum(block, 210);
    block[100] ^= 0xFF;
    EXPECT_EQ(recordChecksum(block, 210), original);
    block[2] ^= 1;
    EXPECT_NE(recordChecksum(block, 210), original);
    block[2] ^= 1;
    EXPECT_NE(recordChecksum(block, 206), original);
}
