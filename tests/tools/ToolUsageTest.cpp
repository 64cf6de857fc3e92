// Every tool answers --help and -h with its usage on standard output and exit status 0.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/RunTool.h"

namespace {

struct Tool {
    const char* name;
    const char* path;
};

const Tool TOOLS[] = {{"sarpack", SARPACK_PATH},          {"demodata", DEMODATA_PATH},
                      {"lobby-server", LOBBY_SERVER_PATH}, {"lwo2-write", LWO2_WRITE_PATH},
                      {"lws-write", LWS_WRITE_PATH},       {"kart-sim", KART_SIM_PATH},
                      {"scene-shot", SCENE_SHOT_PATH},     {"track-check", TRACK_CHECK_PATH},
                      {"race-run", RACE_RUN_PATH}};

} // namespace

TEST(ToolUsage, EveryToolAnswersHelpWithItsUsageOnStandardOutput) {
    for (const Tool& tool : TOOLS)
        for (const std::string asked : {" --help", " -h", " data.sar --help"}) {
            std::string output;
            // Standard error is dropped: the usage has to come on standard output.
            EXPECT_EQ(runTool("(" + std::string(tool.path) + asked + " 2>/dev/null)", output), 0)
                << tool.name << asked << "\n" << output;
            EXPECT_EQ(output.rfind(std::string("usage: ") + tool.name + " ", 0), 0u) << tool.name << asked << "\n"
                                                                                     << output;
        }
}
