// Writes the game's small demo data set into a folder, with the pack list
// that sarpack turns into "data.sar". Every asset is made here, from nothing.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/demodata/texts/DemoTexts.h"
#include "tools/guidata/GuiData.h"

namespace {

struct Asset {
    std::string archiveName; // the development path the game opens
    std::string diskName;    // where it is written below the output folder
    int flags;               // 0 stored, 1 range-coded, 2 block-sorted, 3 both
    std::string bytes;
};

// "D:\\Vantorik\\menu\\x" is written as "menu/x".
std::string diskNameOf(const std::string& archiveName) {
    std::string name = archiveName.substr(std::string("D:\\Vantorik\\").size());
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<Asset> demoAssets() {
    std::vector<Asset> assets;
    for (GuiFile& f : demoTextFiles()) assets.push_back({f.archiveName, diskNameOf(f.archiveName), 3, std::move(f.bytes)});
    // PNG pictures are packed already; everything else of the GUI shrinks well.
    for (GuiFile& f : guiDataFiles())
        assets.push_back({f.archiveName, diskNameOf(f.archiveName), endsWith(f.archiveName, ".png") ? 0 : 3,
                          std::move(f.bytes)});
    return assets;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: demodata OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    std::vector<Asset> assets;
    try {
        assets = demoAssets();
    } catch (const std::runtime_error& e) {
        std::cerr << "demodata: " << e.what() << "\n";
        return 1;
    }
    std::ofstream list(out / "pack-list.txt");
    for (const Asset& a : assets) {
        std::filesystem::path file = out / a.diskName;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << a.bytes;
        list << a.archiveName << '\t' << a.diskName << '\t' << a.flags << '\n';
    }
    if (!list) {
        std::cerr << "demodata: cannot write " << (out / "pack-list.txt") << "\n";
        return 1;
    }
    return 0;
}
