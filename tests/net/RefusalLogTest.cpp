#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "engine/platform/Report.h"
#include "net/RefusalLog.h"

TEST(RefusalLog, TellsTheFirstOfEachKindWholeAndTheRestInOneCountLineWithoutMakingTheirLines) {
    std::ostringstream text;
    std::streambuf* old = g_logStream.capture(text.rdbuf());
    RefusalLog log("player at 10.0.0.7");
    int made = 0;
    for (int i = 0; i < 5; ++i)
        log.refuse(RefusalLog::WRONG_SIZE, [&] { return "wrong size " + std::to_string(++made); });
    for (int i = 0; i < 3; ++i) log.refuse(RefusalLog::FLOOD, "past the rate");
    log.refuse(RefusalLog::UNKNOWN_VALUE, [&] { return "not present " + std::to_string(++made); });
    log.flush();
    // Nothing counted since: no line.
    log.flush();
    g_logStream.capture(old);
    EXPECT_EQ(made, 2) << "a counted refusal made its line";
    EXPECT_EQ(text.str(), "wrong size 1\n"
                          "past the rate\n"
                          "not present 2\n"
                          "player at 10.0.0.7: 4 more values of the wrong size, 2 more chunks past the rate\n");
}
