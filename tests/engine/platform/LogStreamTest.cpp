#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/LogStream.h"
#include "tests/support/TempDir.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(LogStream, EveryLineBeginsWithTheTimeAndHalfLinesWaitForTheirEnd) {
    TempDir dir;
    const std::string path = dir.file("log.txt");
    {
        LogStream log(path.c_str());
        log << "archive: " << 42 << std::endl;
        log << "two\nlines\n" << "half";
        EXPECT_EQ(readAll(path).find("half"), std::string::npos) << "a line goes out whole";
    }
    const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [^\n]*\n)");
    const std::string text = readAll(path);
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_TRUE(std::regex_match(line + "\n", stamped)) << line;
    EXPECT_EQ(count, 4) << text;
    EXPECT_NE(text.find(" archive: 42\n"), std::string::npos);
    EXPECT_NE(text.find(" half\n"), std::string::npos) << "closing writes the last half line";
}

TEST(LogStream, AFullLogMovesToItsOldNameAndANewOneStarts) {
    TempDir dir;
    const std::string path = dir.file("log.txt");
    const std::string old = dir.file("log.old.txt");
    const std::string line(999, 'x');
    {
        LogStream log(path.c_str());
        // Three times the bound: the log starts again twice.
        for (uint64_t written = 0; written < 3 * LogStream::MAX_BYTES; written += line.size() + 1)
            log << line << '\n';
        log << "last" << std::endl;
    }
    EXPECT_LE(std::filesystem::file_size(path), LogStream::MAX_BYTES);
    EXPECT_LE(std::filesystem::file_size(old), LogStream::MAX_BYTES);
    EXPECT_GT(std::filesystem::file_size(old), LogStream::MAX_BYTES - 2000);
    EXPECT_NE(readAll(path).find(" last\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("log.old.old.txt")));
}

TEST(LogStream, OldNamesKeepTheExtension) {
    EXPECT_EQ(LogStream::oldName("/home/p/log.txt"), "/home/p/log.old.txt");
    EXPECT_EQ(LogStream::oldName("/home/p.d/log"), "/home/p.d/log.old");
    EXPECT_EQ(LogStream::oldName("log"), "log.old");
}

TEST(LogStream, AFifoOrAFolderIsNoLogAndIsNeverWaitedFor) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    LogStream log;
    for (const std::string& odd : {dir.file("fifo"), dir.path()}) {
        EXPECT_FALSE(log.open(odd)) << odd;
        EXPECT_FALSE(log.is_open());
        EXPECT_FALSE(log.failure().empty());
        EXPECT_EQ(log.path(), odd) << "the name asked for is kept for the player's messages";
    }
    // Even with a reader, a fifo could fill and stall the game.
    const int reader = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(log.open(dir.file("fifo")));
    EXPECT_EQ(log.failure(), "no plain file");
    ::close(reader);
}

TEST(LogStream, NotOpenItDiscardsAndADeviceIsNeverMoved) {
    LogStream nowhere;
    nowhere << "nothing" << std::endl;
    EXPECT_FALSE(nowhere.is_open());
    LogStream null("/dev/null");
    const std::string line(4095, 'x');
    for (uint64_t written = 0; written < 2 * LogStream::MAX_BYTES; written += line.size() + 1) null << line << '\n';
    EXPECT_TRUE(std::filesystem::exists("/dev/null"));
    EXPECT_FALSE(std::filesystem::exists("/dev/null.old"));
}

TEST(LogStream, LinesOfSeveralThreadsGoOutWholeStampedAndInTheirOwnFormat) {
    TempDir dir;
    const std::string path = dir.file("log.txt");
    constexpr int THREADS = 8;
    constexpr int LINES = 400;
    {
        LogStream log(path.c_str());
        std::vector<std::thread> writers;
        for (int t = 0; t < THREADS; ++t)
            writers.emplace_back([&log, t] {
                // Each line from several pieces, one of them in hexadecimal, the way the server and the game write.
                for (int i = 0; i < LINES; ++i)
                    log << "thread " << t << " line " << std::setw(5) << i << " hex " << std::hex << i * 7
                        << std::dec << " end " << i << std::endl;
            });
        for (std::thread& writer : writers) writer.join();
    }
    const std::regex whole(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} thread (\d) line +(\d+) hex ([0-9a-f]+) end (\d+))");
    std::istringstream lines(readAll(path));
    int next[THREADS] = {};
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(line, parts, whole)) << line;
        const int t = std::stoi(parts[1]);
        const int i = std::stoi(parts[2]);
        EXPECT_EQ(i, next[t]++) << line;
        EXPECT_EQ(std::stoi(parts[3], nullptr, 16), i * 7) << line;
        EXPECT_EQ(std::stoi(parts[4]), i) << "another thread's hexadecimal leaked in: " << line;
    }
    EXPECT_EQ(count, THREADS * LINES);
}
