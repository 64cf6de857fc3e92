#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RecordFile.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/FullFolder.h"

TEST(RecordFile, CommitReplacesTheOldFile) {
    TempDir dir;
    std::string path = dir.write("scores.dat", "old");
    RecordFile file(path.c_str());
    ASSERT_TRUE(file.create());
    EXPECT_EQ(readWholeFile(path), "old") << "the old file stays until the commit";
    file.file().write("new!", 4);
    EXPECT_TRUE(file.commit(4));
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

TEST(RecordFile, ASaveToAFullDiskSaysWhyInOneLineAndKeepsTheOldFile) {
    FullFolder disk;
    const std::string config = disk.file(Config::FILE_NAME), scores = disk.file(HighscoreTables::FILE_NAME);
    Config settings(nullptr, disk.path());
    HighscoreTables tables;
    tables.reset();
    ASSERT_TRUE(tables.save(scores.c_str()));
    const std::string oldConfig = readWholeFile(config), oldScores = readWholeFile(scores);
    ASSERT_EQ(oldConfig.size(), Config::FILE_SIZE);
    ASSERT_EQ(oldScores.size(), HighscoreTables::FILE_SIZE);

    disk.fill();
    settings.m_settings.m_musicVolume = 10;
    tables.getTimeTrial().insert(0, HighscoreEntry(30.0f, 0, "Mira", 1, 1));
    LogCapture log;
    EXPECT_FALSE(settings.save());
    EXPECT_FALSE(tables.save(scores.c_str()));
    EXPECT_EQ(log.text(), config + " cannot be written (" + disk.reason() +
                              "); it is not saved, the file on disk stays as it was\n" + scores +
                              " cannot be written (" + disk.reason() +
                              "); it is not saved, the file on disk stays as it was\n")
        << (disk.onTmpfs() ? "on a full tmpfs" : "past a file size limit");
    EXPECT_TRUE(readWholeFile(config) == oldConfig);
    EXPECT_TRUE(readWholeFile(scores) == oldScores);
    EXPECT_FALSE(fileExists(config + ".new"));
    EXPECT_FALSE(fileExists(scores + ".new"));
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

TEST(RecordFile, AFileThatCannotBeReadIsLeftAsItIs) {
    TempDir dir;
    // A folder of that name, and (where permissions hold) a file nobody may read.
    const std::string folder = dir.file("scores.dat");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    std::vector<std::string> paths{folder};
    const std::string locked = dir.write("locked.dat", "0123456789");
    chmod(locked.c_str(), 0);
    if (geteuid() != 0) paths.push_back(locked);
    for (const std::string& path : paths) {
        LogCapture log;
        RecordFile file(path.c_str());
        EXPECT_FALSE(file.openForReading(10)) << path;
        EXPECT_TRUE(file.unreadable()) << path;
        EXPECT_FALSE(file.create()) << "a file that could not be read is never written over: " << path;
        EXPECT_NE(log.text().find("cannot be read"), std::string::npos) << log.text();
        EXPECT_FALSE(fileExists(path + ".damaged"));
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    chmod(locked.c_str(), 0644);
    EXPECT_EQ(readWholeFile(locked), "0123456789");
}

TEST(RecordFile, SavesWriteThroughALinkToItsTarget) {
    TempDir dir;
    const std::string target = dir.write("kept/scores.dat", "old");
    const std::string link = dir.file("scores.dat");
    std::filesystem::create_symlink("kept/scores.dat", link);
    RecordFile file(link.c_str());
    ASSERT_TRUE(file.create());
    file.file().write("new!", 4);
    ASSERT_TRUE(file.commit(4));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readWholeFile(target), "new!");
    EXPECT_FALSE(fileExists(target + ".new"));
}

TEST(RecordFile, EachDamagedFileKeepsItsOwnNumberedCopy) {
    TempDir dir;
    const std::string path = dir.file("scores.dat");
    for (int i = 1; i <= RecordFile::DAMAGED_COPIES + 1; ++i) {
        writeWholeFile(path, std::string(size_t(i), 'a'));
        RecordFile file(path.c_str());
        EXPECT_FALSE(file.openForReading(100));
    }
    EXPECT_EQ(readWholeFile(path + ".damaged"), "a");
    for (int copy = 2; copy < RecordFile::DAMAGED_COPIES; ++copy)
        EXPECT_EQ(readWholeFile(path + ".damaged." + std::to_string(copy)), std::string(size_t(copy), 'a'));
    // When all are taken the latest replaces the last one.
    EXPECT_EQ(readWholeFile(path + ".damaged." + std::to_string(RecordFile::DAMAGED_COPIES)),
              std::string(size_t(RecordFile::DAMAGED_COPIES + 1), 'a'));
}
