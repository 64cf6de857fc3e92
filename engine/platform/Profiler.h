#pragma once
#include <cstdint>
#include <vector>

// Named timing sections, registered once at start-up and reported at exit.
class Profiler {
public:
    struct Section {
        const char* name; // a literal, not owned
        uint32_t execs;
        int64_t clocks;
        int64_t min;
        int64_t max;
    };

    static int32_t addSection(const char* name);
    static void reportLine(int32_t index);
    // Writes the table to the log stream.
    static void report();
    static const std::vector<Section>& sections();
    static void clear();

private:
    static std::vector<Section>& table();
};
