#pragma once
#include <atomic>
#include <string>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/LogStream.h"

// The engine's reporting switchboard: errors reported at level 1 and up,
// assertions checked at level 3 and up, both stored as the last error text
// when reports go to the log, else shown in a box. Each thread keeps its own
// last error text: a receive thread's report never lands in the text the
// main thread is reading.
extern std::atomic<int> g_reportLevel;
extern std::atomic<bool> g_reportToLog;
extern thread_local ByteBuffer g_lastErrorText;
extern LogStream g_logStream;

// How much goes into the log (PLIMZOR_LOG_LEVEL): the progress of loading,
// device and network (1, the default), or also every replicated value sent
// and received (2).
enum : int { LOG_PROGRESS = 1, LOG_TRAFFIC = 2 };
extern int g_logLevel;

void reportError(const char* text);

// While one lives, errors and assertions reported on its thread are dropped:
// a worker leaves its failures to the thread that uses its work, which meets
// and reports them again itself.
class QuietReports {
public:
    QuietReports();
    ~QuietReports();
    QuietReports(const QuietReports&) = delete;
    QuietReports& operator=(const QuietReports&) = delete;

private:
    bool m_wasQuiet;
};

// The condition is passed lazily so that below level 3 it is never evaluated.
template <typename Condition>
void reportAssertion(Condition&& condition, const char* expression);
void reportFailedAssertion(const char* expression);

// The text between the first and last double quote of an expression, or the
// fallback (null gives an empty text).
ByteBuffer assertionText(const char* fallback, const char* expression, char open = '"', char close = '"');

// Another party's text made fit for a log line or the screen: at most
// `limit` bytes of whole characters, each control character and each broken
// UTF-8 sequence shown as '?', and "..." when it was cut.
std::string printableExcerpt(const std::string& text, size_t limit);

// printf into a 256-byte buffer of the calling thread, cut at 255 characters.
const char* formatStatic(const char* format, ...) __attribute__((format(printf, 1, 2)));
ByteBuffer formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

template <typename Condition>
void reportAssertion(Condition&& condition, const char* expression) {
    if (g_reportLevel >= 3 && !condition()) reportFailedAssertion(expression);
}

// Assertions stay in every build and never stop the program.
#define ENGINE_ASSERT(expr) reportAssertion([&]() -> bool { return static_cast<bool>(expr); }, #expr)
