#pragma once
#include <gtest/gtest.h>

#include "engine/platform/Report.h"

// Reports at the given level go to the last error text for the length of a test.
template <int Level>
class ReportCapture : public ::testing::Test {
protected:
    void SetUp() override {
        g_reportLevel = Level;
        g_reportToLog = true;
        g_lastErrorText.assignText("");
    }
    void TearDown() override {
        g_reportLevel = 0;
        g_reportToLog = false;
    }
    static std::string lastError() { return g_lastErrorText.text(); }
};
