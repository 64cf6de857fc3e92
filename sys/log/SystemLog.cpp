#include "sys/log/SystemLog.h"

#include <atomic>

namespace sys {

namespace {

std::atomic<LogSink> g_sink{nullptr};

} // namespace

void setLogSink(LogSink sink) { g_sink = sink; }

void writeLog(const std::string& line) {
    if (LogSink sink = g_sink) sink(line);
}

} // namespace sys
