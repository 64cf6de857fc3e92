#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/display/FormatRequest.h"
#include "tests/support/ReportCapture.h"

namespace {

const FormatDesc& row(const char* name) {
    for (const FormatDesc& r : g_formatDescs)
        if (std::string(r.name) == name) return r;
    throw std::runtime_error(name);
}

// The automatic depth buffer's request.
FormatRequest depthRequest() {
    FormatRequest r;
    r.m_minimum[1] = 15;
    r.m_weight[0] = 8;
    r.m_weight[1] = 0x20018;
    for (uint32_t& m : r.m_maximum) m = 0x20220;
    r.m_requiredFlags = 2;
    r.m_allowedFlags = 7;
    r.m_preferredFlags = {4};
    return r;
}

std::vector<const FormatDesc*> allRows() {
    std::vector<const FormatDesc*> rows;
    for (const FormatDesc& r : g_formatDescs) rows.push_back(&r);
    return rows;
}

} // namespace

TEST(FormatRequest, ScoresDepthFormatsInTheirOrder) {
    FormatRequest r = depthRequest();
    EXPECT_EQ(r.score(row("D24FS8")), 133425);
    EXPECT_EQ(r.score(row("D24S8")), 132913);
    EXPECT_EQ(r.score(row("D24X4S4")), 116529);
    EXPECT_EQ(r.score(row("D32F_LOCKABLE")), 100656);
    EXPECT_EQ(r.score(row("D32")), 100145);
    EXPECT_EQ(r.score(row("D24X8")), 100145);
    EXPECT_EQ(r.score(row("D15S1")), 67385);
    EXPECT_EQ(r.score(row("D16")), 67385);
    EXPECT_EQ(r.score(row("D16_LOCKABLE")), 67384);
    int accepted = 0;
    for (const FormatDesc& d : g_formatDescs) accepted += r.score(d) >= 0;
    EXPECT_EQ(accepted, 9);
}

TEST(FormatRequest, ChoosesBestAndKeepsEarlierOnTies) {
    FormatRequest r = depthRequest();
    EXPECT_STREQ(r.chooseBest(allRows())->name, "D24FS8");
    EXPECT_STREQ(r.chooseBest({&row("D24X8"), &row("D32")})->name, "D24X8");
    EXPECT_STREQ(r.chooseBest({&row("D32"), &row("D24X8"), &row("D16")})->name, "D32");
    EXPECT_STREQ(r.chooseBest({&row("D16_LOCKABLE"), &row("D24S8"), &row("D16")})->name, "D24S8");
    EXPECT_EQ(r.chooseBest({}), nullptr);
    EXPECT_EQ(r.chooseBest({&row("A8R8G8B8"), &row("DXT1")}), nullptr);
}

TEST(FormatRequest, RejectsFlagsOutsideTheAllowedMask) {
    FormatRequest r;
    for (uint32_t& m : r.m_maximum) m = 0x20220;
    r.m_weight[1] = r.m_weight[2] = r.m_weight[3] = 8;
    EXPECT_GE(r.score(row("R8G8B8")), 0);
    EXPECT_EQ(r.score(row("X8R8G8B8")), -1);  // display flag not allowed
    r.m_allowedFlags = 0x1;
    EXPECT_GE(r.score(row("X8R8G8B8")), 0);
    r.m_requiredFlags = 0x2;
    EXPECT_EQ(r.score(row("X8R8G8B8")), -1);
}

TEST(FormatRequest, RejectsComponentsOutsideTheirBounds) {
    FormatRequest r;
    r.m_allowedFlags = 0xFFF;
    for (uint32_t& m : r.m_maximum) m = 0x20220;
    r.m_minimum[0] = 8;  // wants alpha
    EXPECT_EQ(r.score(row("X8R8G8B8")), -1);
    EXPECT_GE(r.score(row("A8R8G8B8")), 0);
    r.m_maximum[1] = 0x10;  // at most 16-bit red, any kind up to... unsigned only
    EXPECT_EQ(r.score(row("A16B16G16R16F")), -1);
    r.m_maximum[0] = 0x7;
    EXPECT_EQ(r.score(row("A8R8G8B8")), -1);
}

TEST(FormatRequest, BreaksTiesByKindThenSizeThenPreferences) {
    FormatRequest r;
    r.m_allowedFlags = 0xFFF;
    for (uint32_t& m : r.m_maximum) m = 0x20220;
    r.m_weight[1] = 0x20010;  // wants a float red of up to 16 bits
    // Same weighted sum: the float kind wins over the unsigned one.
    EXPECT_GT(r.score(row("R16F")), r.score(row("L16")));
    r.m_weight[1] = 16;
    // Same sum and kinds: fewer bits per pixel wins.
    EXPECT_GT(r.score(row("L16")), r.score(row("G16R16")));
    FormatRequest p;
    p.m_allowedFlags = 0;
    for (uint32_t& m : p.m_maximum) m = 0x20220;
    p.m_weight[1] = p.m_weight[2] = p.m_weight[3] = 8;
    p.prefer(0x40);
    p.prefer(0x20);
    p.prefer(0x10);
    EXPECT_EQ(p.m_allowedFlags, 0x70u);
    ASSERT_EQ(p.m_preferredFlags.size(), 3u);
    EXPECT_EQ(p.m_preferredFlags[0], ~0x40u);
    // Same components: the row without the preferred-against flag wins.
    EXPECT_GT(p.score(row("R8G8B8")), p.score(row("X8B8G8R8")));
}

TEST(FormatRequest, IgnoresPreferencesBeyondTwelve) {
    FormatRequest r = depthRequest();
    r.m_preferredFlags.assign(12, 4);
    int32_t twelve = r.score(row("D24S8"));
    r.m_preferredFlags.push_back(4);
    EXPECT_EQ(r.score(row("D24S8")), twelve);
}

using FormatRequestAssert = ReportCapture<3>;

TEST_F(FormatRequestAssert, AssertsOnTooManyPreferences) {
    FormatRequest r = depthRequest();
    r.score(row("D24S8"));
    EXPECT_EQ(lastError(), "");
    r.m_preferredFlags.assign(13, 4);
    r.score(row("D24S8"));
    EXPECT_EQ(lastError(), "duplicated preference flags?");
}
