// `sarpack extract` of the demo archive's largest member against `bzip2 -dc`
// of the same bytes, run in turns so that both see the same machine load:
// the median wall time of each, their ratio, and each one's peak memory
// against the member's size, with the peak of extracting the smallest member
// as the program's own. An older sarpack given as the argument runs in turn
// too, so that a change is measured against it under the same load.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/DemoArchive.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ROUNDS = 9;

struct Run {
    double seconds = 0.0;
    double peakMiB = 0.0;
};

// Runs a command with its output thrown away; the peak is the child's resident high-water mark.
bool timeCommand(const std::vector<std::string>& words, const std::string& input, Run& run) {
    std::fflush(stdout);
    const auto start = Clock::now();
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        if (!input.empty()) std::freopen(input.c_str(), "r", stdin);
        std::vector<char*> argv;
        for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peakMiB = usage.ru_maxrss / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    auto& archive = static_cast<DataArchive&>(demoArchive());
    const ArchiveEntry *largest = nullptr, *smallest = nullptr;
    for (const ArchiveEntry& e : archive.getDirectory()) {
        if (!largest || e.unpackedSize > largest->unpackedSize) largest = &e;
        if (!smallest || e.unpackedSize < smallest->unpackedSize) smallest = &e;
    }
    if (!largest) return 1;
    const std::string older = argc > 1 ? argv[1] : "";

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "plimzor-extract-bench";
    std::filesystem::create_directories(dir);
    const std::string member = (dir / "member").string(), packed = (dir / "member.bz2").string();
    Run run, own;
    if (!timeCommand({SARPACK_PATH, "extract", DEMO_ARCHIVE_PATH, smallest->name}, "", own) ||
        !timeCommand({SARPACK_PATH, "extract", DEMO_ARCHIVE_PATH, largest->name, member}, "", run) ||
        std::system(("bzip2 -c9 '" + member + "' > '" + packed + "'").c_str()) != 0) {
        std::fprintf(stderr, "bench_ArchiveExtract: cannot extract and recompress %s\n", largest->name);
        return 1;
    }
    const double memberMiB = largest->unpackedSize / 1048576.0;
    std::printf("member %s: %.1f MiB, %u bytes stored, %ju bytes as bzip2 -9\n", largest->name, memberMiB,
                largest->storedSize, static_cast<uintmax_t>(std::filesystem::file_size(packed)));

    std::vector<double> ours, peer, ratios, ourPeak, peerPeak, olderRatios, olderPeak;
    for (int round = 0; round < ROUNDS; ++round) {
        Run a, b, c;
        if (!timeCommand({SARPACK_PATH, "extract", DEMO_ARCHIVE_PATH, largest->name}, "", a) ||
            !timeCommand({"bzip2", "-dc"}, packed, b) ||
            (!older.empty() && !timeCommand({older, "extract", DEMO_ARCHIVE_PATH, largest->name}, "", c))) {
            std::fprintf(stderr, "bench_ArchiveExtract: a run failed\n");
            return 1;
        }
        ours.push_back(a.seconds);
        peer.push_back(b.seconds);
        ratios.push_back(a.seconds / b.seconds);
        ourPeak.push_back(a.peakMiB);
        peerPeak.push_back(b.peakMiB);
        olderRatios.push_back(c.seconds / b.seconds);
        olderPeak.push_back(c.peakMiB);
    }
    std::printf("%-16s %10s %12s %14s\n", "", "median s", "peak MiB", "peak / member");
    std::printf("%-16s %10.3f %12.1f %14.2f\n", "sarpack extract", median(ours), median(ourPeak),
                median(ourPeak) / memberMiB);
    std::printf("%-16s %10.3f %12.1f %14.2f\n", "bzip2 -dc", median(peer), median(peerPeak),
                median(peerPeak) / memberMiB);
    std::printf("program's own peak (smallest member) %.1f MiB; the largest member's decode adds %.2f times its size\n",
                own.peakMiB, (median(ourPeak) - own.peakMiB) / memberMiB);
    std::printf("time ratio sarpack / bzip2 (median of %d rounds in turn): %.2f\n", ROUNDS, median(ratios));
    if (!older.empty())
        std::printf("older sarpack: time ratio to bzip2 %.2f, peak %.1f MiB (%.2f times the member)\n",
                    median(olderRatios), median(olderPeak), median(olderPeak) / memberMiB);
    std::filesystem::remove_all(dir);
    return 0;
}
