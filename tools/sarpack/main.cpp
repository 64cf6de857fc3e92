#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "sys/files/PlainFile.h"
#include "tools/sarpack/ArchiveLister.h"
#include "tools/sarpack/ArchiveWriter.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: sarpack pack ARCHIVE LISTFILE [--layout 0|1]\n"
                          "       sarpack list ARCHIVE\n"
                          "       sarpack extract ARCHIVE NAME [FILE]\n"
                          "LISTFILE lines: name<TAB>diskfile<TAB>flags (0 stored, 1 range-coded,\n"
                          "2 block-sorted, 3 both); relative disk files are found beside LISTFILE.\n";

// A member's sizes and offsets are 32-bit: half of that for one member leaves room for the rest.
constexpr size_t MAX_MEMBER_BYTES = size_t(1) << 31;
constexpr size_t MAX_LIST_BYTES = 64u << 20;

int usage() { return showUsage(USAGE, false); }

int pack(const std::string& archive, const std::string& listFile, uint32_t layout) {
    std::string listText, reason;
    if (!sys::readPlainFile(listFile, MAX_LIST_BYTES, listText, reason)) {
        std::cerr << "sarpack: cannot read " << listFile << ": " << reason << "\n";
        return 1;
    }
    std::istringstream list(listText);
    std::string base;
    if (size_t slash = listFile.rfind('/'); slash != std::string::npos) base = listFile.substr(0, slash + 1);
    ArchiveWriter writer(layout);
    std::string line;
    for (int number = 1; std::getline(list, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t tab1 = line.find('\t');
        size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) {
            std::cerr << listFile << ":" << number << ": expected name<TAB>file<TAB>flags\n";
            return 1;
        }
        std::string name = line.substr(0, tab1);
        std::string disk = line.substr(tab1 + 1, tab2 - tab1 - 1);
        std::string flagText = line.substr(tab2 + 1);
        char* end = nullptr;
        unsigned long flags = std::strtoul(flagText.c_str(), &end, 0);
        if (flagText.empty() || *end || flags > 3) {
            std::cerr << listFile << ":" << number << ": flags must be 0 to 3\n";
            return 1;
        }
        if (!disk.empty() && disk[0] != '/') disk = base + disk;
        if (writer.has(name)) {
            std::cerr << listFile << ":" << number << ": " << name << " is listed twice\n";
            return 1;
        }
        std::string data;
        if (!sys::readPlainFile(disk, MAX_MEMBER_BYTES, data, reason)) {
            std::cerr << listFile << ":" << number << ": cannot read " << disk << ": " << reason << "\n";
            return 1;
        }
        if (!writer.add(name, data, static_cast<uint8_t>(flags))) {
            std::cerr << listFile << ":" << number << ": name must be 1 to 253 bytes\n";
            return 1;
        }
    }
    std::string error;
    if (!writer.write(archive, error)) {
        std::cerr << "sarpack: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    if (argc < 3) return usage();
    std::string command = argv[1];
    if (command == "list" && argc == 3) return listArchive(argv[2], std::cout, std::cerr);
    if (command == "extract" && (argc == 4 || argc == 5))
        return extractMember(argv[2], argv[3], argc == 5 ? argv[4] : "", std::cout, std::cerr);
    if (command == "pack" && (argc == 4 || argc == 6)) {
        uint32_t layout = 0;
        if (argc == 6) {
            if (std::strcmp(argv[4], "--layout") != 0 || (std::strcmp(argv[5], "0") && std::strcmp(argv[5], "1")))
                return usage();
            layout = argv[5][0] == '1' ? 1 : 0;
        }
        return pack(argv[2], argv[3], layout);
    }
    return usage();
}
