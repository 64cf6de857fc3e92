// Writes the game's small demo data set into a folder, with the pack list
// that sarpack turns into "data.sar". Every asset is made here, from nothing.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "tools/demodata/KartFixture.h"
#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/demodata/texts/DemoTexts.h"
#include "tools/demodata/audio/DemoAudio.h"
#include "tools/demodata/mopeds/MopedFiles.h"
#include "tools/guidata/GuiData.h"
#include "tools/usage/ToolUsage.h"

namespace {

const char* const USAGE = "usage: demodata OUTPUT_FOLDER [--test-moped]\n       demodata --preview FOLDER\n";

struct Asset {
    std::string archiveName; // the development path the game opens
    std::string diskName;    // where it is written below the output folder
    int flags;               // 0 stored, 1 range-coded, 2 block-sorted, 3 both
    std::string bytes;
};

// "D:\\Vantorik\\menu\\x" is written as "menu/x", other folders of the
// drive keep their name: "D:\\Skorvitane\\x" as "Skorvitane/x".
std::string diskNameOf(const std::string& archiveName) {
    const std::string main = "D:\\Vantorik";
    const bool inMain = archiveName.compare(0, main.size(), main) == 0;
    std::string name = archiveName.substr(inMain ? main.size() + 1 : 3);
    for (char& c : name)
        if (c == '\\') c = '/';
    const std::string home = "Vantorik/";
    return name.compare(0, home.size(), home) == 0 ? name.substr(home.size()) : name;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<Asset> demoAssets() {
    // The music takes longest, so it starts first; tracks, mopeds and menus
    // are made beside it, and the files keep their order in the pack list.
    auto audio = std::async(std::launch::async, [] { return demoaudio::demoAudioFiles(); });
    auto tracks = std::async(std::launch::async, demoTrackFiles);
    auto mopeds = std::async(std::launch::async, mopedFiles);
    auto gui = std::async(std::launch::async, [] { return guiDataFiles(); });
    std::vector<Asset> assets;
    for (GuiFile& f : demoTextFiles()) assets.push_back({f.archiveName, diskNameOf(f.archiveName), 3, std::move(f.bytes)});
    // PNG pictures are packed already; everything else of the GUI shrinks well.
    for (GuiFile& f : gui.get())
        assets.push_back({f.archiveName, diskNameOf(f.archiveName), endsWith(f.archiveName, ".png") ? 0 : 3,
                          std::move(f.bytes)});
    for (TrackFile& f : tracks.get())
        assets.push_back({f.archiveName, diskNameOf(f.archiveName), 3, std::move(f.bytes)});
    for (demoaudio::AudioFile& f : audio.get())
        assets.push_back({f.archiveName, diskNameOf(f.archiveName), f.flags, std::move(f.bytes)});
    for (MopedFile& f : mopeds.get()) assets.push_back({f.archiveName, f.diskName, f.flags, std::move(f.bytes)});
    return assets;
}

// The kart rig's moped, rider, shadow and settings, for driving the tracks
// before the demo mopeds exist; a file the data set has already wins.
void addTestMoped(std::vector<Asset>& assets) {
    const std::string wanted[] = {KartFixture::MOPED_SCENE, KartFixture::MOPED_OBJECT, KartFixture::RIDER_OBJECT,
                                  KartFixture::SHADOW_OBJECT, KartFixture::SETTINGS_FILE};
    for (KartFixture::Asset& f : KartFixture::files()) {
        if (std::find(std::begin(wanted), std::end(wanted), f.archiveName) == std::end(wanted)) continue;
        auto known = std::find_if(assets.begin(), assets.end(),
                                  [&](const Asset& a) { return a.archiveName == f.archiveName; });
        if (known == assets.end())
            assets.push_back({f.archiveName, diskNameOf(f.archiveName), 3, std::move(f.bytes)});
    }
}

// A track names the stamper's sound that the sound effects make too: the
// later file of a name wins, as it did on disk, in the earlier one's place,
// and the archive gets one member of each name.
void mergeRepeatedNames(std::vector<Asset>& assets) {
    std::vector<Asset> merged;
    for (Asset& a : assets) {
        auto earlier = std::find_if(merged.begin(), merged.end(),
                                    [&a](const Asset& m) { return m.archiveName == a.archiveName; });
        if (earlier == merged.end()) merged.push_back(std::move(a));
        else *earlier = std::move(a);
    }
    assets = std::move(merged);
}

// A folder's name, not an option's: "demodata --preview" alone writes nowhere.
bool folderName(const std::string& argument) { return !argument.empty() && argument.rfind("--", 0) != 0; }

// The output folder, made when missing; false, told in one line, when it cannot be.
bool makeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error)) error = std::make_error_code(std::errc::not_a_directory);
    if (!error) return true;
    std::cerr << "demodata: cannot write into " << folder << ": " << error.message() << "\n";
    return false;
}

// Every sound and piece of music as a plain WAVE file, for listening to them.
int writePreview(const std::filesystem::path& folder) {
    if (!makeFolder(folder)) return 1;
    for (const demoaudio::AudioFile& f : demoaudio::demoAudioFiles(true)) {
        const std::filesystem::path file = folder / demoaudio::previewName(f.archiveName);
        if (!(std::ofstream(file, std::ios::binary) << f.preview)) {
            std::cerr << "demodata: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return showUsage(USAGE, true);
    const bool preview = argc == 3 && std::string(argv[1]) == "--preview";
    const bool withTestMoped = argc == 3 && std::string(argv[2]) == "--test-moped";
    if ((argc != 2 && !preview && !withTestMoped) || !folderName(argv[preview ? 2 : 1]))
        return showUsage(USAGE, false);
    if (preview) {
        try {
            return writePreview(argv[2]);
        } catch (const std::runtime_error& e) {
            std::cerr << "demodata: " << e.what() << "\n";
            return 1;
        }
    }
    const std::filesystem::path out = argv[1];
    if (!makeFolder(out)) return 1;
    std::vector<Asset> assets;
    try {
        assets = demoAssets();
        if (withTestMoped) addTestMoped(assets);
        mergeRepeatedNames(assets);
    } catch (const std::runtime_error& e) {
        std::cerr << "demodata: " << e.what() << "\n";
        return 1;
    }
    std::ofstream list(out / "pack-list.txt");
    for (const Asset& a : assets) {
        std::filesystem::path file = out / a.diskName;
        if (!makeFolder(file.parent_path())) return 1;
        std::ofstream(file, std::ios::binary) << a.bytes;
        list << a.archiveName << '\t' << a.diskName << '\t' << a.flags << '\n';
    }
    if (!list) {
        std::cerr << "demodata: cannot write " << (out / "pack-list.txt") << "\n";
        return 1;
    }
    return 0;
}
