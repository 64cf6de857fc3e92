#include <gtest/gtest.h>

#include <CEGUI/Exceptions.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/gui/GuiHelper.h"
#include "engine/platform/gui/GuiRegexMatcher.h"
#include "engine/platform/gui/GuiResourceProvider.h"
#include "tests/support/TempDir.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

std::string formatted(float seconds) {
    CEGUI::String s;
    GuiHelper::formatTime(seconds, s);
    return s.c_str();
}

} // namespace

TEST(GuiHelper, FormatsRaceTimes) {
    // To the nearest hundredth, as every total of shown times adds them.
    EXPECT_EQ(formatted(83.456f), "01:23:46");
    EXPECT_EQ(formatted(59.996f), "01:00:00");
    EXPECT_EQ(formatted(GuiHelper::addShownTime(GuiHelper::addShownTime(0.0f, 1.114f), 1.114f)), "00:02:22");
    EXPECT_EQ(formatted(0.0f), "--:--:--");
    EXPECT_EQ(formatted(3600000.0f), "--:--:--");
    EXPECT_EQ(formatted(std::numeric_limits<float>::quiet_NaN()), "--:--:--");
    EXPECT_EQ(formatted(-5.0f), "--:--:--");
    // An hour shows as 60 minutes, not as nothing.
    EXPECT_EQ(formatted(3600.0f), "60:00:00");
    EXPECT_EQ(formatted(3599999.0f), "59999:59:00");
}

TEST(GuiHelper, PixelsBecomeScalesOfTheLayout) {
    CEGUI::UVector2 v = GuiHelper::toRelative(512, 384, 1024, 768);
    EXPECT_FLOAT_EQ(v.d_x.d_scale, 0.5f);
    EXPECT_FLOAT_EQ(v.d_y.d_scale, 0.5f);
    EXPECT_EQ(v.d_x.d_offset, 0.0f);
    EXPECT_EQ(GuiHelper::toRelative(512, 384, 0, 768).d_x.d_scale, 0.0f);
}

TEST(GuiResourceProvider, ReadsMenuFilesThroughTheArchive) {
    TempDir dir;
    ArchiveWriter w;
    w.add("D:\\Vantorik\\menu\\Quillfen.scheme", std::string("<GUIScheme/>"), 3);
    std::string path = dir.file("gui.sar"), error;
    ASSERT_TRUE(w.write(path, error));
    DiskFile disk("");
    DataArchive archive(disk);
    ASSERT_TRUE(archive.openArchive(path.c_str()));

    GuiResourceProvider provider(archive);
    CEGUI::RawDataContainer data;
    provider.loadRawDataContainer("quillfen.scheme", data, "");
    ASSERT_EQ(data.getSize(), 12u);
    EXPECT_EQ(std::memcmp(data.getDataPtr(), "<GUIScheme/>", 12), 0);
    provider.unloadRawDataContainer(data);
    EXPECT_EQ(data.getDataPtr(), nullptr);
    EXPECT_EQ(data.getSize(), 0u);

    try {
        provider.loadRawDataContainer("missing.font", data, "");
        FAIL() << "no exception";
    } catch (const CEGUI::InvalidRequestException& e) {
        EXPECT_NE(e.getMessage().find("Couldn't open D:\\Vantorik\\menu\\missing.font"), CEGUI::String::npos);
    }
}

TEST(GuiRegexMatcher, WholeTextMustMatch) {
    GuiRegexMatcher m;
    EXPECT_EQ(m.getMatchStateOfString("anything"), CEGUI::RegexMatcher::MS_VALID);
    m.setRegexString("[A-Za-z0-9 ]{0,8}");
    EXPECT_EQ(m.getMatchStateOfString("Rider 1"), CEGUI::RegexMatcher::MS_VALID);
    EXPECT_EQ(m.getMatchStateOfString("Rider 1234"), CEGUI::RegexMatcher::MS_INVALID);
    EXPECT_EQ(m.getRegexString(), "[A-Za-z0-9 ]{0,8}");
    // Cyrillic names are whole code points, not bytes.
    m.setRegexString("[\\u0400-\\u04FF]{1,3}");
    CEGUI::String name(reinterpret_cast<const CEGUI::utf8*>("\xD0\x98\xD0\xB2\xD0\xB0"));
    EXPECT_EQ(m.getMatchStateOfString(name), CEGUI::RegexMatcher::MS_VALID);
    EXPECT_THROW(m.setRegexString("[unclosed"), CEGUI::InvalidRequestException);
}
