// Speed of whole races without a window: physics steps per second of a
// five-kart computer race on each demo track, in frames of 1/60 s drawn on
// the recording device as the game draws them, and in frames of 0.2 s (20
// steps a frame, so the physics' own speed shows), and the set-up of a track
// from an archive already open and read once.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "game/race/Race.h"
#include "tests/support/DemoArchive.h"
#include "tools/race-run/RaceRun.h"

namespace {

// Seconds past the countdown, so the karts race while they are timed.
constexpr double WARM_UP_SECONDS = 5.0;
// A simulated minute is timed a track; five laps last longer, so nobody finishes meanwhile.
constexpr double TIMED_SECONDS = 60.0;
// Frame lengths in milliseconds: the game's 1/60 s, and the longest the race steps whole.
constexpr int GAME_FRAME = 17;
constexpr int LONG_FRAME = 200;

void RaceSteps(benchmark::State& state) {
    RaceRunOptions options;
    options.track = int(state.range(0));
    options.dt = state.range(1) / 1000.0;
    options.laps = RaceRunOptions::MAX_LAPS;
    RaceRun run(demoArchive(), options);
    std::string error;
    if (!run.setUp(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    while (run.race().m_simulatedTime < WARM_UP_SECONDS) run.frame();
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
    RaceRunOptions options;
    options.track = int(state.range(0));
    std::string error;
    // Once before timing, so the archive and the file cache are warm.
    if (!RaceRun(demoArchive(), options).setUp(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        RaceRun run(demoArchive(), options);
        if (!run.setUp(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(run.summary().setupSeconds);
    }
}

} // namespace

BENCHMARK(RaceSteps)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 5, 1), {GAME_FRAME}})
    ->ArgNames({"track", "frame_ms"})
    ->Iterations(int(TIMED_SECONDS * 1000 / GAME_FRAME))
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(RaceSteps)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 5, 1), {LONG_FRAME}})
    ->ArgNames({"track", "frame_ms"})
    ->Iterations(int(TIMED_SECONDS * 1000 / LONG_FRAME))
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(RaceSetup)->DenseRange(0, 5)->ArgName("track")->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
