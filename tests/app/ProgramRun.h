#pragma once
#include <gtest/gtest.h>

#include "tests/app/ProgramSeat.h"
#include "tools/demodata/tracks/Centreline.h"

// A test of the real program at one seat; skipped where no X server can run.
class ProgramRun : public ::testing::Test, protected ProgramSeat {
protected:
    void SetUp() override;

    // The demo track the race index names.
    static Centreline road(int track);
    // The demo track whose lap is shortest, as a race index.
    static int shortestTrack();
};
