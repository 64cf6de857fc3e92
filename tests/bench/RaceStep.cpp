// Speed of whole races without a window: physics steps per second of a
// five-kart computer race on each demo track, in frames of 1/60 s drawn on
// the recording device, and the set-up of a track from an archive already
// open and read once.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "engine/platform/DataArchive.h"
#include "engine/platform/DiskFile.h"
#include "game/Race.h"
#include "tools/race-run/RaceRun.h"

namespace {

// Frames past the countdown, so the karts race while they are timed.
constexpr int WARM_UP_FRAMES = 300;
// A simulated minute a track; five laps last longer, so nobody finishes while timed.
constexpr int TIMED_FRAMES = 3600;

File& demoData() {
    static DiskFile disk("");
    static std::unique_ptr<DataArchive> archive = [] {
        auto opened = std::make_unique<DataArchive>(disk);
        if (!opened->openArchive(DEMO_ARCHIVE_PATH)) opened.reset();
        return opened;
    }();
    if (!archive) throw std::runtime_error("no demo archive at " DEMO_ARCHIVE_PATH);
    return *archive;
}

void RaceSteps(benchmark::State& state) {
    RaceRunOptions options;
    options.track = int(state.range(0));
    options.laps = RaceRunOptions::MAX_LAPS;
    RaceRun run(demoData(), options);
    std::string error;
    if (!run.setUp(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int i = 0; i < WARM_UP_FRAMES; ++i) run.frame();
    const double startTime = run.race().m_simulatedTime;
    int64_t steps = 0;
    for (auto _ : state) {
        run.frame();
        steps += run.race().m_lastSteps;
    }
    state.counters["steps/s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
    state.counters["x real time"] =
        benchmark::Counter(run.race().m_simulatedTime - startTime, benchmark::Counter::kIsRate);
}

void RaceSetup(benchmark::State& state) {
    const RaceRunOptions options;
    std::string error;
    // Once before timing, so the archive and the file cache are warm.
    if (!RaceRun(demoData(), options).setUp(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        RaceRun run(demoData(), options);
        if (!run.setUp(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(run.summary().setupSeconds);
    }
}

} // namespace

BENCHMARK(RaceSteps)->DenseRange(0, 5)->ArgName("track")->Iterations(TIMED_FRAMES)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RaceSetup)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
