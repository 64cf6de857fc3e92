// kart-sim ARCHIVE [--track SCENE] [--moped SCENE OBJECT] [--settings FILE] [--radius R] [--steps N] [--driver keys|ai] [--path 0-5] [--seed-reset]
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "tools/kart-sim/KartSim.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: kart-sim ARCHIVE [--track SCENE] [--moped SCENE OBJECT] [--settings FILE] "
                          "[--radius R] [--steps N] [--driver keys|ai] [--path 0-5] [--seed-reset]\n";

int usage() { return showUsage(USAGE, false); }

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    if (argc < 2) return usage();
    KartSim::Options options;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--track" && hasValue) {
            options.track = argv[++i];
        } else if (arg == "--moped" && i + 2 < argc) {
            options.mopedScene = argv[++i];
            options.mopedObject = argv[++i];
        } else if (arg == "--radius" && hasValue) {
            char* end = nullptr;
            const float radius = std::strtof(argv[++i], &end);
            if (*end != '\0' || !(radius > 0.0f && radius < 100.0f)) return usage();
            options.radius = radius;
        } else if (arg == "--settings" && hasValue) {
            options.settings = argv[++i];
            options.settingsNamed = true;
        } else if (arg == "--steps" && hasValue) {
            char* end = nullptr;
            const long steps = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || steps < 1 || steps > 10000000) return usage();
            options.steps = static_cast<int>(steps);
        } else if (arg == "--driver" && hasValue) {
            const std::string kind = argv[++i];
            if (kind != "keys" && kind != "ai") return usage();
            options.computerDriver = kind == "ai";
        } else if (arg == "--path" && hasValue) {
            const std::string number = argv[++i];
            if (number.size() != 1 || number[0] < '0' || number[0] > '5') return usage();
            options.path = number[0] - '0';
        } else if (arg == "--seed-reset") {
            options.seedReset = true;
        } else {
            return usage();
        }
    }
    DiskFile disk("");
    DataArchive archive(disk);
    if (!archive.openArchive(argv[1])) {
        std::cerr << "kart-sim: cannot open " << argv[1] << "\n";
        return 1;
    }
    KartSim sim(archive, options);
    std::string error;
    if (!sim.load(error)) {
        std::cerr << "kart-sim: " << error << "\n";
        return 1;
    }
    const KartSim::Summary summary = sim.run(std::cout);
    return summary.sawNaN ? 1 : 0;
}
