#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "app/program/ProgramPaths.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Sets the program's variables for one test and puts every one back after it.
class ProgramPathsTest : public ::testing::Test {
protected:
    ProgramPathsTest() : m_start(fs::current_path()) {
        for (const char* name : {"PLIMZOR_HOME", "XDG_DATA_HOME", "HOME", "PLIMZOR_LOG", "PLIMZOR_DATA"}) {
            const char* value = std::getenv(name);
            m_saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(name);
        }
    }
    ~ProgramPathsTest() override {
        fs::current_path(m_start);
        for (const auto& [name, value] : m_saved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

    ProgramPaths find(std::initializer_list<const char*> arguments) {
        std::vector<char*> argv;
        for (const char* a : arguments) argv.push_back(const_cast<char*>(a));
        return ProgramPaths::find(int(argv.size()), argv.data());
    }

    TempDir m_dir;
    fs::path m_start;
    std::map<std::string, std::optional<std::string>> m_saved;
};

TEST_F(ProgramPathsTest, PlayerFilesGoToTheNamedHomeElseTheDataHomeElseTheUsersShare) {
    setenv("HOME", "/home/rider", 1);
    EXPECT_EQ(find({"plimzor2"}).dataFolder, "/home/rider/.local/share/plimzor2");
    setenv("XDG_DATA_HOME", m_dir.file("data").c_str(), 1);
    EXPECT_EQ(find({"plimzor2"}).dataFolder, m_dir.file("data/plimzor2"));
    setenv("PLIMZOR_HOME", m_dir.file("home").c_str(), 1);
    const ProgramPaths paths = find({"plimzor2"});
    EXPECT_EQ(paths.dataFolder, m_dir.file("home"));
    EXPECT_EQ(paths.logFile, m_dir.file("home/log.txt"));
    setenv("PLIMZOR_LOG", m_dir.file("elsewhere.log").c_str(), 1);
    EXPECT_EQ(find({"plimzor2"}).logFile, m_dir.file("elsewhere.log"));
}

TEST_F(ProgramPathsTest, ArchiveArgumentBeatsTheVariableWhichBeatsTheStartingFolder) {
    m_dir.write("start/data.sar", "x");
    fs::current_path(m_dir.file("start"));
    EXPECT_EQ(find({"plimzor2"}).archive, m_dir.file("start/data.sar"));
    setenv("PLIMZOR_DATA", m_dir.file("named.sar").c_str(), 1);
    // A named archive is taken as named, there or not, so that its absence is reported.
    EXPECT_EQ(find({"plimzor2"}).archive, m_dir.file("named.sar"));
    EXPECT_EQ(find({"plimzor2", "../given.sar"}).archive, m_dir.file("given.sar"));
    EXPECT_FALSE(find({"plimzor2", "../given.sar"}).windowed);
}

TEST_F(ProgramPathsTest, WindowedArgumentAsksForAWindowWhereverItStandsAndNamesNoArchive) {
    setenv("PLIMZOR_DATA", m_dir.file("named.sar").c_str(), 1);
    const ProgramPaths alone = find({"plimzor2", "--windowed"});
    EXPECT_TRUE(alone.windowed);
    EXPECT_EQ(alone.archive, m_dir.file("named.sar"));
    const std::string given = m_dir.file("given.sar");
    const ProgramPaths after = find({"plimzor2", "--windowed", given.c_str()});
    EXPECT_TRUE(after.windowed);
    EXPECT_EQ(after.archive, given);
    EXPECT_TRUE(find({"plimzor2", given.c_str(), "--windowed"}).windowed);
}

TEST_F(ProgramPathsTest, TitleIsTheExecutablesNameAndTheCommandLineIsWhole) {
    const ProgramPaths paths = find({"/opt/game/plimzor2.bin", "my data.sar"});
    EXPECT_EQ(paths.baseName, "plimzor2");
    EXPECT_EQ(paths.commandLine, "/opt/game/plimzor2.bin my data.sar");
}

TEST_F(ProgramPathsTest, EnterMakesTheDataFolderAndWorksInIt) {
    setenv("PLIMZOR_HOME", m_dir.file("a/b/home").c_str(), 1);
    const ProgramPaths paths = find({"plimzor2"});
    ASSERT_TRUE(paths.enter());
    EXPECT_EQ(fs::current_path(), fs::path(m_dir.file("a/b/home")));
    EXPECT_TRUE(fs::exists(m_dir.file("a/b/home/log.txt")));

    m_dir.write("file", "x");
    setenv("PLIMZOR_HOME", m_dir.file("file/home").c_str(), 1);
    EXPECT_FALSE(find({"plimzor2"}).enter());
}

} // namespace
