#include <cstdio>
#include <filesystem>
#include <iostream>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "tools/race-run/RaceRun.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: race-run ARCHIVE [--track N] [--game G] [--riders SPEC] [--places DIGITS] "
                          "[--laps L] [--frames F | --until-finished] [--dt SECONDS] [--no-draw | --render WxH [--unpaced] [--shots FOLDER]] "
                          "[--keys SCRIPT] [--setup-steps]\n";

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    RaceRunOptions options;
    KeyScript keys;
    std::string error;
    const bool good =
        RaceRunOptions::parse(arguments, options, error) && (options.keys.empty() || keys.load(options.keys, error));
    if (!good) {
        std::fprintf(stderr, "race-run: %s\n", error.c_str());
        return showUsage(USAGE, false);
    }
    // As the game reports: errors and assertions become the last error text, no message box.
    g_reportLevel = 3;
    g_reportToLog = true;
    // The run works in a folder of its own: the archive is named from here.
    std::error_code failed;
    const std::string archiveName = std::filesystem::absolute(options.archive, failed).string();
    DiskFile disk("");
    DataArchive archive(disk);
    if (failed || !archive.openArchive(archiveName.c_str())) {
        std::fprintf(stderr, "race-run: cannot open the archive %s\n", options.archive.c_str());
        return 1;
    }
    RaceRun run(archive, options, keys);
    const bool finished = run.run(std::cout, error);
    if (run.summary().frames > 0) run.printSummary(std::cout);
    if (!finished) {
        std::fprintf(stderr, "race-run: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
