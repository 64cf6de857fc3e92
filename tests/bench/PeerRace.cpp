// Whole races against the peer game, in real-time terms, set-up included:
// five computer riders, two laps, on each demo track, every frame drawn on
// the recording device and with nothing drawn; where SuperTuxKart is
// installed its headless two-lap race of five karts runs between ours, so
// that the ratios come from one run on one machine load.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "tests/support/DemoArchive.h"
#include "tools/race-run/RaceRun.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int TRACKS = 6;
constexpr const char* PEER_PATHS[] = {"/usr/games/supertuxkart", "/usr/bin/supertuxkart"};
constexpr const char* PEER_ARGUMENTS =
    " --no-graphics --no-start-screen --profile-laps=2 --track=lighthouse --numkarts=5";

std::string peerPath() {
    for (const char* path : PEER_PATHS)
        if (std::filesystem::exists(path)) return path;
    return "";
}

void OurRace(benchmark::State& state, int track, bool drawn) {
    RaceRunOptions options;
    options.track = track;
    options.laps = 2;
    options.drawn = drawn;
    double simulated = 0.0, wall = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        RaceRun run(demoArchive(), options);
        std::ostringstream lines;
        std::string error;
        if (!run.run(lines, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        simulated += run.summary().simulatedSeconds;
        wall += seconds;
        state.counters["set-up s"] = run.summary().setupSeconds;
    }
    state.counters["x real time"] = simulated / wall;
}

// The peer's race time is its last kart's finish, from its profile's summary line.
void PeerRace(benchmark::State& state) {
    const std::string path = peerPath();
    if (path.empty()) {
        state.SkipWithError("supertuxkart is not installed");
        return;
    }
    const std::string home = (std::filesystem::temp_directory_path() / "plimzor-peer-home").string();
    std::filesystem::create_directories(home);
    const std::string command = "HOME='" + home + "' " + path + PEER_ARGUMENTS + " 2>&1";
    double simulated = 0.0, wall = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("cannot start supertuxkart");
            return;
        }
        double slowest = 0.0;
        std::array<char, 4096> line{};
        while (std::fgets(line.data(), int(line.size()), pipe)) {
            const char* summary = std::strstr(line.data(), "profile: min ");
            double low = 0.0, high = 0.0;
            if (summary && std::sscanf(summary, "profile: min %lf max %lf", &low, &high) == 2) slowest = high;
        }
        const int status = pclose(pipe);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (status != 0 || slowest <= 0.0) {
            state.SkipWithError("supertuxkart printed no race time");
            return;
        }
        state.SetIterationTime(seconds);
        simulated += slowest;
        wall += seconds;
    }
    state.counters["x real time"] = simulated / wall;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // One set-up before timing, so the archive and the file cache are warm for the first track too.
    std::string error;
    if (!RaceRun(demoArchive(), RaceRunOptions()).setUp(error)) {
        std::fprintf(stderr, "bench_PeerRace: %s\n", error.c_str());
        return 1;
    }
    for (int track = 0; track < TRACKS; ++track) {
        const std::string suffix = "/track:" + std::to_string(track);
        benchmark::RegisterBenchmark(("OurRaceDrawn" + suffix).c_str(), OurRace, track, true)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark(("PeerRace" + suffix).c_str(), PeerRace)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark(("OurRaceNoDraw" + suffix).c_str(), OurRace, track, false)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
