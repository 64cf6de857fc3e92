#include "tests/app/ProgramRun.h"

#include <cstdlib>

#include "tools/demodata/tracks/DemoTracks.h"

void ProgramRun::SetUp() {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    if (!open()) GTEST_SKIP() << "no private X server (Xvfb) could start";
}

Centreline ProgramRun::road(int track) { return Centreline(demoTracks()[size_t(track)].centreline()); }

int ProgramRun::shortestTrack() {
    int shortest = 0;
    for (int t = 1; t < int(demoTracks().size()); ++t)
        if (road(t).length() < road(shortest).length()) shortest = t;
    return shortest;
}
