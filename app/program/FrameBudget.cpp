#include "app/program/FrameBudget.h"

#include <cstdio>
#include <cstdlib>

#include "engine/platform/Report.h"

namespace {

void reportLine(std::ostream& out, const char* name, int64_t frames, double seconds) {
    char line[96];
    std::snprintf(line, sizeof line, "%s: %lld frames, mean frame time %.3f ms\n", name, static_cast<long long>(frames),
                  frames > 0 ? 1000.0 * seconds / double(frames) : 0.0);
    out << line;
}

} // namespace

FrameBudget FrameBudget::fromEnvironment() {
    const char* text = std::getenv("PLIMZOR_FRAMES");
    if (!text) return FrameBudget();
    char* end = nullptr;
    const long long limit = std::strtoll(text, &end, 10);
    if (end != text && *end == '\0' && limit > 0) return FrameBudget(limit);
    g_logStream << "PLIMZOR_FRAMES \"" << text << "\" is no count of frames from 1 up; the game runs without a "
                << "frame limit" << std::endl;
    return FrameBudget();
}

void FrameBudget::count(Phase phase, double seconds) {
    ++m_frames[phase];
    m_seconds[phase] += seconds;
}

void FrameBudget::report(std::ostream& out) const {
    if (!limited()) return;
    reportLine(out, "menu", m_frames[MENU], m_seconds[MENU]);
    reportLine(out, "race", m_frames[RACE], m_seconds[RACE]);
    reportLine(out, "all", frames(), m_seconds[MENU] + m_seconds[RACE]);
    out.flush();
}
