#include "engine/platform/Report.h"

#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sys/text/Utf8.h"
#include "sys/window/MessageBox.h"

std::atomic<int> g_reportLevel{0};
std::atomic<bool> g_reportToLog{false};
thread_local ByteBuffer g_lastErrorText;
namespace {

thread_local bool t_quiet = false;

int logLevelFromEnvironment() {
    const char* text = std::getenv("PLIMZOR_LOG_LEVEL");
    if (!text || !*text) return LOG_PROGRESS;
    char* end = nullptr;
    const long level = std::strtol(text, &end, 10);
    return *end == '\0' && level >= LOG_PROGRESS && level <= LOG_TRAFFIC ? int(level) : LOG_PROGRESS;
}

} // namespace

// A maintainer names a file in PLIMZOR_LOG to read the progress lines; they
// are discarded otherwise, and when that file cannot be opened.
LogStream g_logStream(std::getenv("PLIMZOR_LOG"));
int g_logLevel = logLevelFromEnvironment();

QuietReports::QuietReports() : m_wasQuiet(t_quiet) { t_quiet = true; }

QuietReports::~QuietReports() { t_quiet = m_wasQuiet; }

void reportError(const char* text) {
    if (g_reportLevel < 1 || t_quiet) return;
    if (g_reportToLog) {
        g_lastErrorText.assignText(text);
        return;
    }
    sys::showMessageBox("Error", text, sys::MB_ICON_EXCLAMATION);
}

void reportFailedAssertion(const char* expression) {
    if (t_quiet) return;
    if (g_reportToLog) {
        g_lastErrorText = assertionText(nullptr, expression);
        return;
    }
    ByteBuffer text = assertionText("- internal error -", expression);
    sys::showMessageBox("Assertion failed", text.text(), sys::MB_ICON_EXCLAMATION);
}

ByteBuffer assertionText(const char* fallback, const char* expression, char open, char close) {
    const char* first = std::strchr(expression, open);
    const char* last = std::strrchr(expression, close);
    ByteBuffer result(fallback ? fallback : "");
    if (!first || !last || last - first < 2) return result;
    // The expression is source text, so its literal still spells escapes.
    std::string message;
    for (const char* p = first + 1; p < last; ++p) {
        if (*p != '\\' || p + 1 == last) {
            message += *p;
            continue;
        }
        switch (*++p) {
        case 'n': message += '\n'; break;
        case 't': message += '\t'; break;
        default: message += *p; break;
        }
    }
    result.assignText(message.c_str());
    return result;
}

std::string printableExcerpt(const std::string& text, size_t limit) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t used = 1;
        const uint32_t code = sys::decodeUtf8(bytes + at, text.size() - at, used);
        // Never half a character.
        if (at + used > limit) break;
        // C0 and C1 controls, DEL and broken sequences.
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
        out += control ? std::string("?") : text.substr(at, used);
        at += used;
    }
    return at < text.size() ? out + "..." : out;
}

const char* formatStatic(const char* format, ...) {
    static thread_local char buffer[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0 || n >= static_cast<int>(sizeof buffer)) buffer[sizeof buffer - 1] = 0;
    return buffer;
}

ByteBuffer formatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int n = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    ByteBuffer result;
    if (n < 0) {
        va_end(args);
        return result;
    }
    result.resize(static_cast<uint32_t>(n) + 1);
    std::vsnprintf(reinterpret_cast<char*>(result.data()), result.size(), format, args);
    va_end(args);
    result.data()[n] = 0;
    return result;
}
