#include <gtest/gtest.h>

#include <cstring>

#include "engine/platform/ByteBuffer.h"

TEST(ByteBuffer, StartsAsEmptyTextAndCopiesStrings) {
    ByteBuffer empty;
    EXPECT_EQ(empty.size(), 1u);
    EXPECT_STREQ(empty.text(), "");

    ByteBuffer text("moped");
    EXPECT_EQ(text.size(), 6u);
    ByteBuffer copy(text);
    text.assignText("x");
    EXPECT_STREQ(copy.text(), "moped");
    EXPECT_STREQ(text.text(), "x");
}

TEST(ByteBuffer, GrowsByAnEighthWithinItsBounds) {
    ByteBuffer b;
    b.resize(0);
    b.resize(100);
    EXPECT_EQ(b.capacity(), 100u);
    b.resize(101);
    EXPECT_EQ(b.capacity(), 112u);

    ByteBuffer small;
    small.resize(0);
    small.resize(8);
    small.resize(9);
    EXPECT_EQ(small.capacity(), 12u);

    ByteBuffer large;
    large.resize(0);
    large.resize(1u << 20);
    large.resize((1u << 20) + 1);
    EXPECT_EQ(large.capacity(), (1u << 20) + 65536u);
}

TEST(ByteBuffer, ShrinkKeepsDataAndZeroFreesIt) {
    ByteBuffer b("abcdef");
    uint32_t capacity = b.capacity();
    b.resize(3);
    EXPECT_EQ(b.capacity(), capacity);
    EXPECT_EQ(std::memcmp(b.data(), "abc", 3), 0);
    b.resize(0);
    EXPECT_EQ(b.size(), 0u);
    EXPECT_EQ(b.capacity(), 0u);
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_STREQ(b.text(), "");
}

TEST(ByteBuffer, GrowingKeepsTheOldBytes) {
    ByteBuffer b("0123456789");
    b.resize(5000);
    EXPECT_EQ(std::memcmp(b.data(), "0123456789", 11), 0);
}
