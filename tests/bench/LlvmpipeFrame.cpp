// A race's frame at 1024 x 768 in a window, as Mesa's software rasteriser
// (llvmpipe, what a display without a graphics card such as Xvfb gives) draws
// it: the median of each frame's own work, unpaced, in one view (five
// computer riders) and in split screen (two players and three computer
// riders), on each demo track, and the split screen's time over the one
// view's, with the triangles and surface draws a frame sends. Skips without a
// display: run under xvfb-run -a -s "-screen 0 1280x1024x24".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/render/Renderer.h"
#include "game/race/Race.h"
#include "sys/gfx/GlDevice.h"
#include "sys/window/Window.h"
#include "tests/support/DemoArchive.h"
#include "tools/race-run/RaceRun.h"

namespace {

constexpr int TRACKS = 6;
constexpr uint32_t WIDTH = 1024;
constexpr uint32_t HEIGHT = 768;
// Ten seconds of the game's frames: the countdown and the race's start.
constexpr int FRAMES = 600;

struct Frames {
    double medianMilliseconds = 0.0;
    // What a frame sent llvmpipe: its front end works per triangle.
    double triangles = 0.0;
    double draws = 0.0;
    std::string renderer;
};

bool runFrames(int track, const char* riders, Frames& out, std::string& error) {
    RaceRunOptions options;
    options.track = track;
    options.riders = riders;
    options.width = WIDTH;
    options.height = HEIGHT;
    options.paced = false;
    options.frames = FRAMES;
    RaceRun run(demoArchive(), options);
    std::ostringstream lines;
    if (!run.run(lines, error)) return false;
    out.medianMilliseconds = run.summary().medianFrameMilliseconds;
    out.triangles = run.summary().trianglesPerFrame;
    out.draws = run.summary().drawsPerFrame;
    auto* device = dynamic_cast<sys::gfx::GlDevice*>(run.race().m_renderer->m_currentDevice);
    out.renderer = device ? device->rendererName() : "";
    return true;
}

void LlvmpipeFrame(benchmark::State& state, int track) {
    Frames one, split;
    for (auto _ : state) {
        std::string error;
        if (!runFrames(track, "ccccc", one, error) || !runFrames(track, "12ccc", split, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(one.medianMilliseconds / 1000.0);
    }
    state.counters["one view ms"] = one.medianMilliseconds;
    state.counters["split ms"] = split.medianMilliseconds;
    state.counters["split / one"] = split.medianMilliseconds / one.medianMilliseconds;
    state.counters["one view triangles"] = one.triangles;
    state.counters["one view draws"] = one.draws;
    state.counters["split triangles"] = split.triangles;
    state.SetLabel(one.renderer);
}

void printLoad() {
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Without X the window lands elsewhere and the GUI cannot start: not the frame measured here.
    if (!std::getenv("DISPLAY") || !sys::Window::videoAvailable()) {
        std::printf("bench_LlvmpipeFrame: skipped, no display (run under xvfb-run -a -s \"-screen 0 1280x1024x24\")\n");
        return 0;
    }
    for (int track = 0; track < TRACKS; ++track)
        benchmark::RegisterBenchmark(("LlvmpipeFrame/track:" + std::to_string(track)).c_str(), LlvmpipeFrame, track)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    printLoad();
    benchmark::RunSpecifiedBenchmarks();
    printLoad();
    benchmark::Shutdown();
    return 0;
}
