#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/platform/archive/Md5Hash.h"

namespace {

std::string hex(const uint8_t d[16]) {
    std::string s;
    char two[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(two, sizeof two, "%02x", d[i]);
        s += two;
    }
    return s;
}

} // namespace

TEST(Md5Hash, MatchesThePublishedDigests) {
    uint8_t d[16];
    Md5Hash abc;
    ASSERT_TRUE(abc.compute("abc", 3, d));
    EXPECT_EQ(hex(d), "900150983cd24fb0d6963f7d28e17f72");
    Md5Hash empty;
    ASSERT_TRUE(empty.compute("", 0, d));
    EXPECT_EQ(hex(d), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5Hash, OneBufferPerObject) {
    uint8_t d[16] = {};
    Md5Hash once;
    ASSERT_TRUE(once.compute("abc", 3, d));
    EXPECT_FALSE(once.compute("abc", 3, d));
}
