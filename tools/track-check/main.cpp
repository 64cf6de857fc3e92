// track-check ARCHIVE [TRACK...]: TRACK is a scene name or a demo track's number 1 to 6; all six by default.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "sys/window/MessageBox.h"
#include "tools/track-check/TrackCheck.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: track-check ARCHIVE [TRACK...]  (TRACK: a scene name or 1 to 6)\n";

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    if (argc < 2) return showUsage(USAGE, false);
    // What the engine reports while loading goes with the report, not into boxes to click away.
    sys::setMessageBoxSink(
        [](const char* title, const char* text, unsigned) { std::fprintf(stderr, "%s: %s\n", title, text); });
    DiskFile disk("");
    DataArchive archive(disk);
    if (!archive.openArchive(argv[1])) {
        std::cerr << "track-check: cannot open " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> scenes;
    for (int i = 2; i < argc; ++i) scenes.push_back(TrackCheck::sceneOf(argv[i]));
    if (scenes.empty()) scenes = TrackCheck::demoTracks();
    TrackCheck check(archive, TrackCheck::Options());
    int passed = 0;
    for (const std::string& scene : scenes) passed += check.run(scene, std::cout) ? 1 : 0;
    std::cout << passed << " of " << scenes.size() << " track" << (scenes.size() == 1 ? "" : "s") << " passed\n";
    return passed == static_cast<int>(scenes.size()) ? 0 : 1;
}
