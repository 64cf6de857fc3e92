#pragma once
#include <cstdint>
#include <vector>

// The values one polygon overrides for some of its points (a VMAD entry):
// point indices with their values, `dimension` floats each.
struct DiscontinuousEntry {
    std::vector<uint32_t> points;
    std::vector<float> values;
};
