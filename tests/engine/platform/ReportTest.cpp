#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/Profiler.h"
#include "engine/platform/Report.h"
#include "engine/platform/Timer.h"
#include "sys/window/MessageBox.h"

namespace {

struct Box {
    std::string title, text;
    unsigned style;
};
std::vector<Box> g_boxes;

void catchBox(const char* title, const char* text, unsigned style) { g_boxes.push_back({title, text, style}); }

class Reporting : public ::testing::Test {
protected:
    void SetUp() override {
        g_boxes.clear();
        sys::setMessageBoxSink(catchBox);
        g_lastErrorText.assignText("");
    }
    void TearDown() override {
        sys::setMessageBoxSink(nullptr);
        g_reportLevel = 0;
        g_reportToLog = false;
    }
    void level(int level, bool toLog) {
        g_reportLevel = level;
        g_reportToLog = toLog;
    }
};

} // namespace

TEST_F(Reporting, LevelZeroReportsNothingAndNeverEvaluates) {
    level(0, false);
    bool evaluated = false;
    reportError("lost");
    ENGINE_ASSERT((evaluated = true) && false);
    EXPECT_FALSE(evaluated);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(Reporting, ErrorAtLevelOneShowsOneBoxAndAssertionsStaySilent) {
    level(1, false);
    reportError("Invalid scene file (wrong version or file type)!");
    ENGINE_ASSERT(0 && "never shown");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].title, "Error");
    EXPECT_EQ(g_boxes[0].text, "Invalid scene file (wrong version or file type)!");
    EXPECT_EQ(g_boxes[0].style, 0x30u);
}

TEST_F(Reporting, StoredAssertionKeepsOnlyTheQuotedMessage) {
    level(3, true);
    ENGINE_ASSERT(0 && "Singular trans mat encountered.\n");
    EXPECT_STREQ(g_lastErrorText.text(), "Singular trans mat encountered.\n");
    int count = 5;
    ENGINE_ASSERT(count < 2);
    EXPECT_STREQ(g_lastErrorText.text(), "");
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(Reporting, AssertionBoxFallsBackToInternalError) {
    level(3, false);
    int count = 5;
    ENGINE_ASSERT(count < 2);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].title, "Assertion failed");
    EXPECT_EQ(g_boxes[0].text, "- internal error -");
}

TEST_F(Reporting, ErrorToLogReplacesTheLastText) {
    level(3, true);
    reportError("first");
    reportError("second");
    EXPECT_STREQ(g_lastErrorText.text(), "second");
    EXPECT_EQ(g_lastErrorText.size(), 7u);
}

TEST(AssertionText, NeedsTwoQuotesWithSomethingBetween) {
    EXPECT_STREQ(assertionText("fb", "a \" b").text(), "fb");
    EXPECT_STREQ(assertionText("fb", "x == \"\"").text(), "fb");
    EXPECT_STREQ(assertionText(nullptr, "f(\"a\", \"b\")").text(), "a\", \"b");
}

TEST(Format, StaticBufferCutsAt255Characters) {
    std::string long300(300, 'q');
    std::string result = formatStatic("%s", long300.c_str());
    EXPECT_EQ(result, std::string(255, 'q'));
    EXPECT_STREQ(formatString("%d-%s", 7, "ab").text(), "7-ab");
    EXPECT_EQ(formatString("%s", long300.c_str()).size(), 301u);
}

TEST(ProfilerReport, ATableOfZerosIsNotWritten) {
    Profiler::clear();
    EXPECT_EQ(Profiler::addSection("render"), 0);
    EXPECT_EQ(Profiler::addSection("physics"), 1);
    std::stringstream out;
    std::streambuf* old = g_logStream.capture(out.rdbuf());
    Profiler::report();
    Profiler::reportLine(0);
    g_logStream.capture(old);
    Profiler::clear();
    EXPECT_EQ(out.str(), "render                   :        0             0          0        0          0\n");
}

TEST(TimerClock, PausedTimeIsNotCounted) {
    Timer t;
    t.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    t.pause();
    double atPause = t.getSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_DOUBLE_EQ(t.getSeconds(), atPause);
    t.resume();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    double total = t.getSeconds();
    EXPECT_GE(total, 0.039);
    EXPECT_LT(total, 0.075);
}

// The receive threads of a flooded lobby report as the main thread reads: each keeps its own text.
TEST(ReportThreads, ReportsOnManyThreadsAtOnceNeverTouchAnotherThreadsLastError) {
    g_reportLevel = 3;
    g_reportToLog = true;
    g_lastErrorText.assignText("the main thread's");
    std::vector<std::thread> threads;
    std::vector<std::string> seen(8);
    for (size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([t, &seen] {
            for (int i = 0; i < 2000; ++i) {
                ENGINE_ASSERT(i < 0 && "a peer's chunk");
                reportError(t % 2 ? "odd" : "even");
            }
            seen[t] = g_lastErrorText.text();
        });
    for (int i = 0; i < 2000; ++i) EXPECT_STREQ(g_lastErrorText.text(), "the main thread's");
    for (std::thread& thread : threads) thread.join();
    for (size_t t = 0; t < seen.size(); ++t) EXPECT_EQ(seen[t], t % 2 ? "odd" : "even");
    g_reportLevel = 0;
    g_reportToLog = false;
}
