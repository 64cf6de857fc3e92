#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "app/program/SingleInstance.h"
#include "sys/instance/InstanceBlock.h"
#include "tests/support/TempDir.h"

namespace {

class SingleInstanceGuard : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_INSTANCE_DIR", m_dir.path().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("PLIMZOR_INSTANCE_DIR");
    }
    static bool check(SingleInstance& record, const std::string& commandLine = "plimzor2") {
        uint32_t messageId = 0;
        SingleInstance::check(SingleInstance::NAME, record, messageId, commandLine);
        EXPECT_GE(messageId, 0xC000u);
        return record.first;
    }
    static uint32_t ownerId(const SingleInstance& record) {
        const uint8_t* b = record.view->data();
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    static const char* commandLine(const SingleInstance& record) {
        return reinterpret_cast<const char*>(record.view->data() + 4);
    }
    TempDir m_dir;
};

} // namespace

TEST_F(SingleInstanceGuard, LaterCopyFindsTheFirstsIdAndLeavesItsCutCommandLine) {
    SingleInstance first;
    ASSERT_TRUE(check(first));
    ASSERT_TRUE(first.view);
    EXPECT_EQ(ownerId(first), uint32_t(getpid()));
    EXPECT_STREQ(commandLine(first), "");

    std::string longLine = "plimzor2 " + std::string(3000, 'x');
    SingleInstance later;
    EXPECT_FALSE(check(later, longLine));
    EXPECT_EQ(ownerId(later), uint32_t(getpid()));
    // Both views see one block: the first copy can read what the later one left.
    EXPECT_EQ(std::string(commandLine(first)), longLine.substr(0, 2047));
    EXPECT_EQ(first.view->data()[4 + 2047], 0);
    EXPECT_TRUE(first.first);
}

TEST_F(SingleInstanceGuard, EndedFirstCopyLeavesTheNextOneFirst) {
    int ready[2], hold[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(hold), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(hold[1]);
        SingleInstance held;
        uint32_t messageId = 0;
        SingleInstance::check(SingleInstance::NAME, held, messageId, "");
        char answer = held.first ? '1' : '0';
        (void)!write(ready[1], &answer, 1);
        // Holds the block until killed, or until this test's process is gone.
        (void)!read(hold[0], &answer, 1);
        _exit(0);
    }
    close(ready[1]);
    close(hold[0]);
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    close(ready[0]);
    EXPECT_EQ(answer, '1');
    {
        SingleInstance later;
        EXPECT_FALSE(check(later));
        EXPECT_EQ(ownerId(later), uint32_t(child));
    }
    // Killed, not shut down: the lock goes with the process all the same.
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(hold[1]);
    SingleInstance next;
    EXPECT_TRUE(check(next));
    EXPECT_EQ(ownerId(next), uint32_t(getpid()));
}

TEST_F(SingleInstanceGuard, ANamedFolderIsMadeWhenMissingAndAFileInItsPlaceRefusesTheStart) {
    const std::string missing = m_dir.file("not/yet/there");
    setenv("PLIMZOR_INSTANCE_DIR", missing.c_str(), 1);
    {
        SingleInstance first;
        EXPECT_TRUE(check(first));
        ASSERT_TRUE(first.view);
        EXPECT_TRUE(first.refusal.empty());
        SingleInstance second;
        EXPECT_FALSE(check(second)) << "the folder made keeps the next copy out";
    }
    const std::string notAFolder = m_dir.write("file", "x");
    for (const std::string& named : {notAFolder, notAFolder + "/sub"}) {
        setenv("PLIMZOR_INSTANCE_DIR", named.c_str(), 1);
        SingleInstance record;
        EXPECT_FALSE(check(record, "plimzor2 second")) << named;
        EXPECT_FALSE(record.view);
        EXPECT_NE(record.refusal.find("PLIMZOR_INSTANCE_DIR"), std::string::npos) << record.refusal;
        EXPECT_NE(record.refusal.find(named), std::string::npos) << record.refusal;
    }
}
