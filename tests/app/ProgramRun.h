#pragma once
#include <gtest/gtest.h>

#include "tests/app/ProgramSeat.h"

// A test of the real program at one seat; skipped where no X server can run.
class ProgramRun : public ::testing::Test, protected ProgramSeat {
protected:
    void SetUp() override;
};
