#include <iostream>
#include <string>

#include "tools/lightwave/LwsDemoScene.h"
#include "tools/lightwave/LwsWriter.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: lws-write demo OUT.lws   writes the demo scene (it loads objects/cube.lwo)\n";

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    if (argc != 3 || std::string(argv[1]) != "demo") return showUsage(USAGE, false);
    std::string error;
    if (!LwsWriter().save(lwsDemoScene(), argv[2], error)) {
        std::cerr << "lws-write: " << error << "\n";
        return 1;
    }
    return 0;
}
