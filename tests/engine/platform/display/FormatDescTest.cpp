#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/platform/display/FormatDesc.h"

TEST(FormatDesc, TableHoldsEveryFormatOnceInItsOrder) {
    std::set<uint32_t> formats;
    for (const FormatDesc& row : g_formatDescs) formats.insert(row.format);
    EXPECT_EQ(formats.size(), FORMAT_DESC_COUNT);
    EXPECT_STREQ(g_formatDescs[0].name, "R8G8B8");
    EXPECT_STREQ(g_formatDescs[46].name, "D24FS8");
    EXPECT_STREQ(g_formatDescs[47].name, "L16");
    EXPECT_STREQ(g_formatDescs[71].name, "CxV8U8");
}

TEST(FormatDesc, MultiElementRowsDecodeTheirDigits) {
    const FormatDesc& first = g_formatDescs[50];
    EXPECT_EQ(first.format, 0x3045564Eu);  // 'NVE0'
    EXPECT_STREQ(first.name, "MET_4_4_4_4_NV");
    EXPECT_EQ(first.component[0], 0x0208u);
    const FormatDesc& mixed = g_formatDescs[54];
    EXPECT_STREQ(mixed.name, "MET_4_4_2_1_NV");
    EXPECT_EQ(mixed.component[2], 0x20110u);
    EXPECT_EQ(mixed.component[3], 0x20020u);
    const FormatDesc& last = g_formatDescs[64];
    EXPECT_EQ(last.format, 0x6545564Eu);  // 'NVEe'
    EXPECT_STREQ(last.name, "MET_1_1_1_1_NV");
    EXPECT_EQ(last.bitsPerPixel, 128u);
    EXPECT_EQ(last.flags, 0xCu);
}

TEST(FormatDesc, FlagsMarkTheirFormatKinds) {
    auto flags = [](const char* name) {
        for (const FormatDesc& row : g_formatDescs)
            if (std::string(row.name) == name) return row.flags;
        return 0xFFFFFFFFu;
    };
    EXPECT_EQ(flags("A2R10G10B10"), 0x1u);
    EXPECT_EQ(flags("D16_LOCKABLE"), 0x2u);
    EXPECT_EQ(flags("D24S8"), 0x6u);
    EXPECT_EQ(flags("DXT4"), 0x860u);
    EXPECT_EQ(flags("A8P8"), 0xA0u);
    EXPECT_EQ(flags("YV12"), 0x220u);
    EXPECT_EQ(flags("A16B16G16R16F"), 0x10u);
    EXPECT_EQ(findFormatDesc(0x31545844u)->bitsPerPixel, 4u);  // 'DXT1'
    EXPECT_EQ(findFormatDesc(12345), nullptr);
}
