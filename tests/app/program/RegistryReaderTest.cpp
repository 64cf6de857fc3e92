#include <gtest/gtest.h>

#include <cstdlib>

#include "app/program/RegistryReader.h"
#include "tests/support/TempDir.h"

TEST(RegistryReader, OnlyADwordOfTheKeyReplacesTheDefault) {
    TempDir dir;
    setenv("PLIMZOR_SETTINGS",
           dir.write("settings", "[Software\\Quarnholt\\Morvane]\nLanguage=dword:00000407\nWidth=\"1031\"\n").c_str(), 1);
    const char* key = "Software\\Quarnholt\\Morvane";
    EXPECT_EQ(readRegistryDword(key, "Language", 1033), 1031u);
    EXPECT_EQ(readRegistryDword(key, "Width", 1033), 1033u);
    EXPECT_EQ(readRegistryDword(key, "Missing", 7), 7u);
    EXPECT_EQ(readRegistryDword("Software\\Other", "Language", 9), 9u);
    setenv("PLIMZOR_SETTINGS", dir.file("none").c_str(), 1);
    EXPECT_EQ(readRegistryDword(key, "Language", 1033), 1033u);
    unsetenv("PLIMZOR_SETTINGS");
}
