#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "engine/platform/archive/DiskFile.h"
#include "tests/support/TempDir.h"

namespace {

// Runs a test inside a scratch folder so the ".\;..\" path list means something.
class DiskFileInFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_old = std::filesystem::current_path();
        std::filesystem::create_directories(m_dir.file("run"));
        std::filesystem::current_path(m_dir.file("run"));
    }
    void TearDown() override { std::filesystem::current_path(m_old); }
    TempDir m_dir;
    std::filesystem::path m_old;
};

std::string readAll(File& f) {
    std::string s(f.getSize(), '\0');
    int32_t n = f.read(s.data(), f.getSize());
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
}

} // namespace

TEST_F(DiskFileInFolder, OpenRefusesWhileOpenAndKeepsTheFirstFile) {
    m_dir.write("run/a.txt", "alpha");
    m_dir.write("run/b.txt", "beta");
    DiskFile f(".\\;..\\");
    ASSERT_TRUE(f.open("a.txt"));
    EXPECT_FALSE(f.open("b.txt"));
    EXPECT_EQ(readAll(f), "alpha");
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(f.close());
}

TEST_F(DiskFileInFolder, DrivePrefixIsDroppedAlongThePathList) {
    m_dir.write("data/x.bmp", "parent");
    DiskFile f(".\\;..\\");
    ASSERT_TRUE(f.open("D:\\data\\x.bmp"));
    EXPECT_EQ(readAll(f), "parent");
}

TEST_F(DiskFileInFolder, NamesMatchWithoutRegardToCase) {
    m_dir.write("run/Menu/Texts.XML", "<texts/>");
    DiskFile f(".\\;..\\");
    ASSERT_TRUE(f.open("MENU\\texts.xml"));
    EXPECT_EQ(readAll(f), "<texts/>");
}

TEST_F(DiskFileInFolder, ExistsUsesTheFixedPathListNotItsOwn) {
    m_dir.write("run/here.dat", "1");
    DiskFile f("/nonexistent/");
    EXPECT_TRUE(f.exists("here.dat"));
    EXPECT_FALSE(f.exists("missing.dat"));
    EXPECT_EQ(f.getSize(), 0u);
}

TEST_F(DiskFileInFolder, WriteCountsSizeAndReadStopsAtTheEnd) {
    DiskFile f(".\\;..\\");
    ASSERT_TRUE(f.create("out.bin"));
    EXPECT_EQ(f.write("0123456789", 10), 10);
    EXPECT_EQ(f.getSize(), 10u);
    f.close();
    EXPECT_EQ(f.getSize(), 0u);

    ASSERT_TRUE(f.open("out.bin"));
    char buf[16];
    EXPECT_TRUE(f.seek(7));
    EXPECT_EQ(f.read(buf, 16), 3);
    EXPECT_EQ(f.read(buf, 16), 0);
    EXPECT_TRUE(f.skip(-5));
    EXPECT_EQ(f.tell(), 5u);
}

TEST_F(DiskFileInFolder, CloneHasTheSameListButIsClosed) {
    m_dir.write("data/y.txt", "why");
    DiskFile f(".\\;..\\");
    ASSERT_TRUE(f.open("a:\\data\\y.txt"));
    std::unique_ptr<File> copy(f.clone());
    EXPECT_EQ(copy->getSize(), 0u);
    ASSERT_TRUE(copy->open("a:\\data\\y.txt"));
    EXPECT_EQ(readAll(*copy), "why");
}

TEST_F(DiskFileInFolder, FoldersAreNotFiles) {
    std::filesystem::create_directories(m_dir.file("run/folder"));
    DiskFile f(".\\;..\\");
    EXPECT_FALSE(f.open("folder"));
}
