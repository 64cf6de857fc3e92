#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "sys/settings/SystemInfo.h"

namespace {

// Sets the three locale variables for one test and puts them back after it.
class UserLocale : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(NAMES[i]);
            m_saved[i] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i)
            m_saved[i] ? setenv(NAMES[i], m_saved[i]->c_str(), 1) : unsetenv(NAMES[i]);
    }
    static uint16_t languageOf(const char* all, const char* messages, const char* lang) {
        const char* values[] = {all, messages, lang};
        for (int i = 0; i < 3; ++i) values[i] ? setenv(NAMES[i], values[i], 1) : unsetenv(NAMES[i]);
        return sys::userDefaultLanguageId();
    }
    static constexpr const char* NAMES[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> m_saved[3];
};

} // namespace

TEST_F(UserLocale, LanguageComesFromTheFirstSetVariable) {
    EXPECT_EQ(languageOf(nullptr, nullptr, "de_DE.UTF-8"), 1031);
    EXPECT_EQ(languageOf(nullptr, nullptr, "en_GB"), 1033);
    EXPECT_EQ(languageOf(nullptr, nullptr, "fr_FR@euro"), 1036);
    EXPECT_EQ(languageOf(nullptr, nullptr, "es"), 1034);
    EXPECT_EQ(languageOf(nullptr, nullptr, "it_IT.UTF-8"), 1040);
    EXPECT_EQ(languageOf(nullptr, nullptr, "ru_RU.KOI8-R"), 1049);
    EXPECT_EQ(languageOf("ru_RU", "fr_FR", "de_DE"), 1049);
    EXPECT_EQ(languageOf("", "fr_FR", "de_DE"), 1036) << "an empty variable counts as not set";
}

TEST_F(UserLocale, UnknownOrMissingLanguageIsEnglish) {
    EXPECT_EQ(languageOf(nullptr, nullptr, "C"), 1033);
    EXPECT_EQ(languageOf(nullptr, nullptr, "pl_PL.UTF-8"), 1033);
    EXPECT_EQ(languageOf(nullptr, nullptr, "deu"), 1033);
    EXPECT_EQ(languageOf(nullptr, nullptr, nullptr), 1033);
}
