#pragma once
#include <sstream>
#include <streambuf>
#include <string>

#include "engine/platform/Report.h"

// Catches what the game writes to its log while it lives.
class LogCapture {
public:
    LogCapture() { m_old = g_logStream.capture(m_text.rdbuf()); }
    ~LogCapture() { g_logStream.capture(m_old); }
    std::string text() const { return m_text.str(); }

private:
    std::stringstream m_text;
    std::streambuf* m_old = nullptr;
};
