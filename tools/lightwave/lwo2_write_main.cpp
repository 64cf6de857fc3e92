#include <iostream>
#include <string>

#include "tools/lightwave/Lwo2DemoObject.h"
#include "tools/lightwave/Lwo2Dump.h"
#include "tools/lightwave/Lwo2Writer.h"
#include "sys/files/PlainFile.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: lwo2-write cube OUT.lwo     writes the demo object\n"
                          "       lwo2-write --dump FILE.lwo  lists its chunks\n";

// The largest object of the demo tracks is under 10 MB.
constexpr size_t MAX_DUMP_BYTES = 256u << 20;

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 3 && mode == "--dump") {
        std::string bytes, error;
        if (!sys::readPlainFile(argv[2], MAX_DUMP_BYTES, bytes, error)) {
            std::cerr << "lwo2-write: cannot read " << argv[2] << ": " << error << "\n";
            return 1;
        }
        std::cout << dumpLwo2(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        return 0;
    }
    if (argc == 3 && mode == "cube") {
        Lwo2Writer writer;
        writer.writeObject(lwo2DemoCube());
        std::string error;
        if (!writer.save(argv[2], error)) {
            std::cerr << "lwo2-write: " << error << "\n";
            return 1;
        }
        return 0;
    }
    return showUsage(USAGE, false);
}
