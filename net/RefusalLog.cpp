#include "net/RefusalLog.h"

#include "engine/platform/Report.h"

namespace {

const char* const KIND_NAMES[RefusalLog::KINDS] = {"values not present", "values of the wrong size",
                                                   "values of another computer's rider", "chunks before a hello",
                                                   "malformed chunks", "chunks past the rate", "connections"};

} // namespace

RefusalLog::RefusalLog(std::string peer) : m_peer(std::move(peer)) {}

bool RefusalLog::count(Kind kind) {
    if (std::chrono::steady_clock::now() - m_since >= COUNT_INTERVAL) flush();
    if (m_told[kind] >= (kind == CONNECTION ? CONNECTIONS_TOLD : 1)) {
        ++m_counted[kind];
        return false;
    }
    ++m_told[kind];
    return true;
}

// One write a line: other threads share the log.
void RefusalLog::tell(const std::string& line) { g_logStream << line + '\n'; }

void RefusalLog::flush() {
    std::string counts;
    for (int kind = 0; kind < KINDS; ++kind) {
        if (m_counted[kind] == 0) continue;
        counts += (counts.empty() ? "" : ", ") + std::to_string(m_counted[kind]) + " more " + KIND_NAMES[kind];
        m_counted[kind] = 0;
    }
    m_told[CONNECTION] = 0;
    m_since = std::chrono::steady_clock::now();
    if (!counts.empty()) g_logStream << m_peer + ": " + counts + '\n';
}
