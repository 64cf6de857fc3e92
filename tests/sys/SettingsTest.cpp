#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "sys/settings/Settings.h"
#include "tests/support/TempDir.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void use(const std::string& text) { setenv("PLIMZOR_SETTINGS", m_dir.write("settings", text).c_str(), 1); }
    void TearDown() override { unsetenv("PLIMZOR_SETTINGS"); }
    TempDir m_dir;
};

const char* KEY = "Software\\Quarnholt\\Morvane";

} // namespace

TEST_F(SettingsFile, ReadsDwordsOfTheKeyOnly) {
    use("[Software\\Other]\nLanguage=dword:00000407\n"
        "[software\\quarnholt\\morvane]\n\"Language\"=dword:00000409\nResolutionWidth = dword:400\n");
    uint32_t v = 0;
    ASSERT_TRUE(sys::Settings::readDword(KEY, "Language", v));
    EXPECT_EQ(v, 0x409u);
    ASSERT_TRUE(sys::Settings::readDword(KEY, "resolutionwidth", v));
    EXPECT_EQ(v, 1024u);
}

TEST_F(SettingsFile, OtherTypesAndMissingValuesLeaveTheDefault) {
    use("[Software\\Quarnholt\\Morvane]\nLanguage=\"English\"\nMultisampleType=dword:xyz\n"
        "MultisampleQuality=dword:123456789\n");
    uint32_t v = 77;
    EXPECT_FALSE(sys::Settings::readDword(KEY, "Language", v));
    EXPECT_FALSE(sys::Settings::readDword(KEY, "MultisampleType", v));
    EXPECT_FALSE(sys::Settings::readDword(KEY, "MultisampleQuality", v));
    EXPECT_FALSE(sys::Settings::readDword(KEY, "ResolutionHeight", v));
    EXPECT_EQ(v, 77u);
}

TEST_F(SettingsFile, MissingFileMeansDefaults) {
    setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
    uint32_t v = 5;
    EXPECT_FALSE(sys::Settings::readDword(KEY, "Language", v));
    EXPECT_EQ(v, 5u);
}

TEST_F(SettingsFile, ReadsQuotedStringsWithTheirEscapes) {
    use("[Software\\Quarnholt\\Morvane]\nHighscoreServer = \"scores.example.org\"\n"
        "Path=\"C:\\\\games \\\"two\\\"\"\nPort=dword:50\nBare=text\n");
    std::string v = "kept";
    ASSERT_TRUE(sys::Settings::readString(KEY, "highscoreserver", v));
    EXPECT_EQ(v, "scores.example.org");
    ASSERT_TRUE(sys::Settings::readString(KEY, "Path", v));
    EXPECT_EQ(v, "C:\\games \"two\"");
    EXPECT_FALSE(sys::Settings::readString(KEY, "Port", v));
    EXPECT_FALSE(sys::Settings::readString(KEY, "Bare", v));
    EXPECT_EQ(v, "C:\\games \"two\"");
}

TEST_F(SettingsFile, AFolderAFifoOrADeviceIsNoSettingsFileAndIsNeverWaitedFor) {
    std::filesystem::create_directories(m_dir.file("folder"));
    ASSERT_EQ(mkfifo(m_dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& odd : {m_dir.file("folder"), m_dir.file("fifo"), std::string("/dev/zero")}) {
        setenv("PLIMZOR_SETTINGS", odd.c_str(), 1);
        uint32_t v = 5;
        EXPECT_FALSE(sys::Settings::readDword(KEY, "Language", v)) << odd;
        EXPECT_EQ(v, 5u);
    }
    // A settings file larger than any is not read either.
    use("[Software\\Quarnholt\\Morvane]\nLanguage=dword:00000407\n" + std::string(sys::Settings::MAX_BYTES, ';'));
    uint32_t v = 5;
    EXPECT_FALSE(sys::Settings::readDword(KEY, "Language", v));
}
