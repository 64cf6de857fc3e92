#include "tests/app/ProgramRun.h"

#include <cstdlib>

void ProgramRun::SetUp() {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    if (!open()) GTEST_SKIP() << "no private X server (Xvfb) could start";
}
