#include <cstdio>

#include "tools/scene-shot/SceneShot.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: scene-shot ARCHIVE SCENE OUT.png [--camera N | --top] [--time SECONDS] [--size WxH] "
                          "[--track NAME]...\n";

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    SceneShot::Options options;
    std::string error;
    if (!SceneShot::parse(arguments, options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return showUsage(USAGE, false);
    }
    double milliseconds = 0.0;
    if (!SceneShot::run(options, milliseconds, error)) {
        std::fprintf(stderr, "scene-shot: %s\n", error.c_str());
        return 1;
    }
    std::printf("frame: %.3f ms\n", milliseconds);
    return 0;
}
