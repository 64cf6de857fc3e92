// Every tool refuses a folder, a fifo or a device where it wants a file, and
// what it cannot do, in one line and without hanging: exit status 1, or 2 for
// arguments it cannot use (then with its usage).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

namespace {

struct Refusal {
    std::string command;
    int status;
    // What the line that refuses names.
    std::string says;
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace

TEST(ToolInput, FoldersFifosDevicesAndWhatIsNotThereAreRefusedInOneLine) {
    TempDir dir;
    const std::string folder = dir.file("folder");
    std::filesystem::create_directories(folder);
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string file = dir.write("file", "x");
    const std::string sarpack = SARPACK_PATH, out = dir.file("out.sar");
    const std::string folderLine = dir.write("folder-line.txt", "a\t" + folder + "\t0\n");
    const std::string twice = dir.write("twice.txt", "a\t" + file + "\t0\nA\t" + file + "\t3\n");
    // A directory said to hold 0xFFFFFFFF members.
    const std::string forged = dir.write("forged.sar", std::string("SARC\0\0\0\0\xff\xff\xff\xff", 12) + "rest");
    const std::string archive = DEMO_ARCHIVE_PATH;

    std::vector<Refusal> refusals;
    for (const std::string& odd : {folder, fifo, std::string("/dev/zero")}) {
        refusals.push_back({sarpack + " pack " + out + " " + odd, 1, odd});
        refusals.push_back({sarpack + " list " + odd, 1, odd});
        refusals.push_back({std::string(LWO2_WRITE_PATH) + " --dump " + odd, 1, odd});
        refusals.push_back({std::string(SOUND_CHECK_PATH) + " " + odd, 1, odd});
        refusals.push_back({std::string(RACE_RUN_PATH) + " " + archive + " --keys " + odd, 2, odd});
    }
    // An archive is never written over what is not a plain file.
    const std::string list = dir.write("list.txt", "a\t" + file + "\t0\n");
    for (const std::string& odd : {folder, fifo, std::string("/dev/null")})
        refusals.push_back({sarpack + " pack " + odd + " " + list, 1, odd});
    refusals.push_back({sarpack + " pack " + out + " " + folderLine, 1, folder});
    refusals.push_back({sarpack + " pack " + out + " " + twice, 1, "listed twice"});
    refusals.push_back({sarpack + " list " + forged, 1, "runs past the end"});
    refusals.push_back({std::string(DEMODATA_PATH) + " ''", 2, "usage: demodata"});
    refusals.push_back({std::string(DEMODATA_PATH) + " " + file, 1, file});
    refusals.push_back({"cd " + dir.path() + " && " + DEMODATA_PATH + " --preview", 2, "usage: demodata"});
    refusals.push_back({"cd " + dir.path() + " && " + DEMODATA_PATH + " --test-moped", 2, "usage: demodata"});
    refusals.push_back({std::string(KART_SIM_PATH) + " " + archive + " --track nosuch.lws", 1, "nosuch.lws"});
    refusals.push_back({std::string(KART_SIM_PATH) + " " + archive + " --settings nosuch.dat", 1, "nosuch.dat"});
    refusals.push_back({std::string(RACE_RUN_PATH) + " " + archive + " --dt 1e-7", 2, "--dt"});

    for (const Refusal& r : refusals) {
        std::string output;
        // A tool that hangs is ended by the time-out and fails with its status.
        const int status = runTool("timeout -k 5 120 sh -c \"" + r.command + "\" < /dev/null", output);
        EXPECT_EQ(status, r.status) << r.command << "\n" << output;
        const std::vector<std::string> lines = linesOf(output);
        ASSERT_FALSE(lines.empty()) << r.command;
        EXPECT_NE(output.find(r.says), std::string::npos) << r.command << "\n" << output;
        // The usage may follow a refused argument; nothing else may.
        const size_t told = lines[0].rfind("usage: ", 0) == 0 ? 0 : 1;
        if (r.status == 2) EXPECT_TRUE(told == 0 || lines[1].rfind("usage: ", 0) == 0) << r.command << "\n" << output;
        else EXPECT_EQ(lines.size(), 1u) << r.command << "\n" << output;
    }
    EXPECT_FALSE(std::filesystem::exists(out)) << "no archive is written from what could not be read";
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_FALSE(std::filesystem::exists(folder + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(fifo + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("--preview")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("--test-moped")));
}
