#include "engine/platform/Profiler.h"

#include <cinttypes>
#include <cstdio>

#include "engine/platform/Report.h"

std::vector<Profiler::Section>& Profiler::table() {
    static std::vector<Section> sections;
    return sections;
}

const std::vector<Profiler::Section>& Profiler::sections() { return table(); }

void Profiler::clear() { table().clear(); }

int32_t Profiler::addSection(const char* name) {
    table().push_back(Section{name, 0, 0, 0, 0});
    return static_cast<int32_t>(table().size()) - 1;
}

void Profiler::reportLine(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(table().size())) return;
    const Section& s = table()[static_cast<size_t>(index)];
    int64_t average = s.execs ? s.clocks / static_cast<int64_t>(s.execs) : 0;
    char line[256];
    std::snprintf(line, sizeof line, "%-25s: %8u %13" PRId64 " %10" PRId64 " %8" PRId64 " %10" PRId64,
                  s.name, s.execs, s.clocks, average, s.min, s.max);
    g_logStream << line << std::endl;
}

void Profiler::report() {
    // A table of zeros says nothing.
    bool gathered = false;
    for (const Section& s : table()) gathered = gathered || s.execs > 0;
    if (!gathered) return;
    g_logStream << "----------- Profiling report --------------" << '\n';
    g_logStream << "                     name     execs        clocks    average      min        max" << '\n';
    for (size_t i = 0; i < table().size(); ++i) reportLine(static_cast<int32_t>(i));
}
