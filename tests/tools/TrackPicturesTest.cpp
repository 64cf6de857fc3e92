// A picture of each demo track, from its own camera and from above, made from
// the real demo data set so a person can look at the six tracks. Tracks the
// data set does not hold yet are skipped.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "tests/support/TempDir.h"

namespace {

// Runs a command; its output, or why it failed.
bool run(const std::string& command, std::string& output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return false;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    return pclose(pipe) == 0;
}

// The demo data set written and packed once per test program, stored rather
// than compressed: only the pictures matter here.
class DemoData {
public:
    DemoData() {
        const std::string demo = m_dir.file("demo");
        if (!run(std::string(DEMODATA_PATH) + " " + demo, m_error)) return;
        std::ifstream in(demo + "/pack-list.txt");
        std::ofstream out(demo + "/stored-list.txt");
        for (std::string line; std::getline(in, line);) out << line.substr(0, line.rfind('\t')) << "\t0\n";
        out.close();
        if (!run(std::string(SARPACK_PATH) + " pack " + archive() + " " + demo + "/stored-list.txt", m_error)) return;
        DiskFile disk("");
        DataArchive data(disk);
        if (!data.openArchive(archive().c_str())) return;
        for (const ArchiveEntry& entry : data.getDirectory()) m_names.emplace_back(entry.name, entry.nameLength);
        m_ok = true;
    }
    bool ok() const { return m_ok; }
    const std::string& error() const { return m_error; }
    std::string archive() const { return m_dir.file("data.sar"); }
    // The scene of track N (1 to 6) whatever it is called after "track_0N_", or empty.
    std::string trackScene(int track) const {
        const std::string stem = "3dobjects_tracks\\track_0" + std::to_string(track) + "_";
        for (const std::string& name : m_names)
            if (name.find(stem) != std::string::npos && name.size() > 4 &&
                name.compare(name.size() - 4, 4, ".lws") == 0)
                return name;
        return {};
    }

private:
    TempDir m_dir;
    std::vector<std::string> m_names;
    std::string m_error;
    bool m_ok = false;
};

// Where the pictures stay: $PLIMZOR_TRACK_PICTURES, else "track-pictures" in
// the working folder (build/tests under ctest).
std::string pictureFolder() {
    const char* chosen = std::getenv("PLIMZOR_TRACK_PICTURES");
    const std::string folder = chosen ? chosen : "track-pictures";
    std::filesystem::create_directories(folder);
    return folder;
}

// Share of the pixels that differ clearly from the picture's commonest colour.
double shareApartFromCommonest(const std::string& png, int width, int height) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load(png.c_str(), &w, &h, &channels, 3);
    if (!pixels || w != width || h != height) {
        stbi_image_free(pixels);
        return -1.0;
    }
    const size_t count = size_t(w) * h;
    std::map<uint32_t, size_t> colours;
    for (size_t i = 0; i < count; ++i)
        ++colours[uint32_t(pixels[3 * i]) << 16 | pixels[3 * i + 1] << 8 | pixels[3 * i + 2]];
    uint32_t commonest = 0;
    size_t most = 0;
    for (auto [colour, n] : colours)
        if (n > most) most = n, commonest = colour;
    size_t apart = 0;
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            if (std::abs(int(pixels[3 * i + c]) - int((commonest >> (16 - 8 * c)) & 0xFF)) > 24) {
                ++apart;
                break;
            }
    stbi_image_free(pixels);
    return double(apart) / double(count);
}

class TrackPictures : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { s_data = std::make_unique<DemoData>(); }
    static void TearDownTestSuite() { s_data.reset(); }
    static std::unique_ptr<DemoData> s_data;
};

std::unique_ptr<DemoData> TrackPictures::s_data;

} // namespace

TEST_P(TrackPictures, CameraViewAndViewFromAboveShowThePlace) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    ASSERT_TRUE(s_data->ok()) << s_data->error();
    const int track = GetParam();
    const std::string scene = s_data->trackScene(track);
    if (scene.empty()) GTEST_SKIP() << "the demo data set has no track " << track << " yet";

    const std::string stem = scene.substr(scene.rfind('\\') + 1, scene.size() - scene.rfind('\\') - 5);
    const std::string folder = pictureFolder();
    struct Shot {
        std::string suffix, options;
        int width, height;
    };
    for (const Shot& shot : {Shot{"camera", "--time 1.0", 640, 480}, Shot{"above", "--top", 1024, 768}}) {
        SCOPED_TRACE(shot.suffix);
        const std::string png = folder + "/" + stem + "-" + shot.suffix + ".png";
        std::string output;
        // The scene name holds backslashes: quoted for the shell.
        ASSERT_TRUE(run(std::string(SCENE_SHOT_PATH) + " " + s_data->archive() + " '" + scene + "' " + png + " " +
                            shot.options + " --size " + std::to_string(shot.width) + "x" + std::to_string(shot.height),
                        output))
            << output;
        std::printf("%s: %s", png.c_str(), output.c_str());
        // Not one flat colour: the scene drew something; whether it looks like a place is for a person to see.
        EXPECT_GT(shareApartFromCommonest(png, shot.width, shot.height), 0.01) << png << " shows next to nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(DemoTracks, TrackPictures, ::testing::Range(1, 7));
