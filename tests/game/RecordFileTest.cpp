#include <gtest/gtest.h>

#include "game/RecordFile.h"
#include "tests/game/GameTestSupport.h"

TEST(RecordFile, CommitReplacesTheOldFile) {
    TempDir dir;
    std::string path = dir.write("scores.dat", "old");
    RecordFile file(path.c_str());
    ASSERT_TRUE(file.create());
    EXPECT_EQ(readWholeFile(path), "old") << "the old file stays until the commit";
    file.file().write("new!", 4);
    EXPECT_TRUE(file.commit());
    EXPECT_EQ(readWholeFile(path), "new!");
    EXPECT_FALSE(fileExists(path + ".new"));
}

TEST(RecordFile, AnUnfinishedSaveKeepsTheOldFile) {
    TempDir dir;
    std::string path = dir.write("scores.dat", "old");
    {
        RecordFile file(path.c_str());
        ASSERT_TRUE(file.create());
        file.file().write("half", 4);
    }
    EXPECT_EQ(readWholeFile(path), "old");
    EXPECT_FALSE(fileExists(path + ".new"));
}

TEST(RecordFile, MissingFileIsNotDamaged) {
    TempDir dir;
    LogCapture log;
    RecordFile file(dir.file("none.dat").c_str());
    EXPECT_FALSE(file.openForReading(10));
    EXPECT_EQ(log.text(), "");
}

TEST(RecordFile, SetsAFileOfTheWrongSizeAside) {
    TempDir dir;
    std::string path = dir.write("scores.dat", "12345");
    LogCapture log;
    RecordFile file(path.c_str());
    EXPECT_FALSE(file.openForReading(10));
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ(readWholeFile(path + ".damaged"), "12345");
    EXPECT_NE(log.text().find("damaged (too short)"), std::string::npos);
}

TEST(RecordFile, OpensAFileOfTheRightSize) {
    TempDir dir;
    std::string path = dir.write("scores.dat", "1234567890");
    RecordFile file(path.c_str());
    ASSERT_TRUE(file.openForReading(10));
    char bytes[10];
    EXPECT_EQ(file.file().read(bytes, 10), 10);
}
