#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "app/program/Program.h"
#include "tests/support/TempDir.h"

namespace {

// The settings file and the locale variables of one test, put back after it.
class ProgramLanguageTest : public ::testing::Test {
protected:
    ProgramLanguageTest() {
        for (const char* name : {"PLIMZOR_SETTINGS", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            m_saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(name);
        }
        setenv("PLIMZOR_SETTINGS", m_dir.file("settings").c_str(), 1);
    }
    ~ProgramLanguageTest() override {
        for (const auto& [name, value] : m_saved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

    void storeLanguage(const char* value) {
        m_dir.write("settings", std::string("[Software\\Quarnholt\\Morvane]\nLanguage=") + value + "\n");
    }

    TempDir m_dir;
    std::map<std::string, std::optional<std::string>> m_saved;
};

TEST_F(ProgramLanguageTest, StoredGermanStaysGermanAndEveryOtherLanguageBecomesEnglish) {
    setenv("LANG", "de_DE.UTF-8", 1);
    storeLanguage("dword:00000407");
    EXPECT_EQ(Program::chooseLanguage(), Program::GERMAN);
    storeLanguage("dword:0000040C");
    EXPECT_EQ(Program::chooseLanguage(), Program::ENGLISH);
    // Only the low 16 bits are the language.
    storeLanguage("dword:00010407");
    EXPECT_EQ(Program::chooseLanguage(), Program::GERMAN);
}

TEST_F(ProgramLanguageTest, TheLanguageFoundNamesTheMenuTextsGermanOrEnglish) {
    EXPECT_EQ(Program::textLanguage(Program::GERMAN), 0);
    EXPECT_EQ(Program::textLanguage(Program::ENGLISH), 1);
}

TEST_F(ProgramLanguageTest, WithoutAStoredLanguageTheLocaleDecides) {
    setenv("LANG", "de_AT.UTF-8", 1);
    EXPECT_EQ(Program::chooseLanguage(), Program::GERMAN);
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(Program::chooseLanguage(), Program::ENGLISH);
    storeLanguage("\"1031\"");
    unsetenv("LC_ALL");
    EXPECT_EQ(Program::chooseLanguage(), Program::GERMAN);
}

} // namespace
