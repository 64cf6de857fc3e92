#include "engine/platform/LogStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

namespace {

std::atomic<uint64_t> g_nextLogId{1};

// The calling thread's lines exist; they are gone at its end, for the main
// thread before the globals go, and are never made again then.
thread_local bool t_linesMade = false;
thread_local bool t_linesGone = false;

// "2026-12-09 15:41:38.123 "
std::string timeStamp() {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[32];
    const size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d ", int(now.tv_usec / 1000));
    return text;
}

} // namespace

// The file, written a whole line at a time by one thread after the other.
class LogStream::Sink {
public:
    ~Sink() { closeFile(); }

    bool open(const std::string& path, std::ios::openmode mode) {
        std::lock_guard<std::mutex> guard(m_lock);
        closeFile();
        m_path = path;
        m_failure.clear();
        const int how = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (mode & std::ios::trunc ? O_TRUNC : O_APPEND);
        int file;
        do file = ::open(path.c_str(), how, 0644);
        while (file < 0 && errno == EINTR);
        const int reason = errno;
        struct stat info {};
        const bool plain = (file >= 0 ? fstat(file, &info) : stat(path.c_str(), &info)) != 0 ||
                           S_ISREG(info.st_mode) || S_ISCHR(info.st_mode);
        // A fifo without a reader fails with "no such device", which would only puzzle.
        if (file < 0 || !plain) {
            m_failure = plain ? std::strerror(reason) : "no plain file";
            if (file >= 0) ::close(file);
            return false;
        }
        // Waiting for a slow device is fine; the flag only kept the open from waiting for a reader.
        fcntl(file, F_SETFL, fcntl(file, F_GETFL) & ~O_NONBLOCK);
        m_file = file;
        m_regular = S_ISREG(info.st_mode);
        m_size = m_regular ? uint64_t(lseek(file, 0, SEEK_END)) : 0;
        return true;
    }

    void close() {
        std::lock_guard<std::mutex> guard(m_lock);
        closeFile();
    }

    bool isOpen() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_file >= 0;
    }

    std::string path() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_path;
    }

    std::string failure() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_failure;
    }

    std::streambuf* capture(std::streambuf* target) {
        std::lock_guard<std::mutex> guard(m_lock);
        return std::exchange(m_capture, target);
    }

    void write(const std::string& line) {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_capture) {
            m_capture->sputn(line.data(), std::streamsize(line.size()));
            return;
        }
        if (m_file < 0) return;
        const std::string stamped = timeStamp() + line;
        if (m_size > 0 && m_size + stamped.size() > MAX_BYTES) startAgain();
        // A write may take part of the line; each turn takes at least a byte or ends.
        for (size_t done = 0; done < stamped.size();) {
            const ssize_t n = ::write(m_file, stamped.data() + done, stamped.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += size_t(n);
        }
        m_size += stamped.size();
    }

private:
    void closeFile() {
        if (m_file >= 0) ::close(m_file);
        m_file = -1;
    }

    void startAgain() {
        m_size = 0;
        // A device such as /dev/null is no file to move.
        if (!m_regular) return;
        closeFile();
        std::rename(m_path.c_str(), oldName(m_path).c_str());
        m_file = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
    }

    mutable std::mutex m_lock;
    int m_file = -1;
    bool m_regular = false;
    std::string m_path;
    std::string m_failure;
    std::streambuf* m_capture = nullptr;
    uint64_t m_size = 0;
};

// One thread's line in the making, with the stream that formats it.
class LogStream::Line : public std::streambuf {
public:
    explicit Line(Sink& sink) : m_sink(sink), m_stream(this) {}

    std::ostream& stream() { return m_stream; }

    void sendHalfLine() {
        if (m_text.empty()) return;
        m_text += '\n';
        send();
    }

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        put(char(c));
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        for (std::streamsize i = 0; i < count; ++i) put(text[i]);
        return count;
    }

private:
    void put(char c) {
        m_text += c;
        if (c == '\n') send();
    }

    void send() {
        m_sink.write(m_text);
        m_text.clear();
    }

    Sink& m_sink;
    std::string m_text;
    std::ostream m_stream;
};

LogStream::LogStream(const char* path) : m_sink(std::make_unique<Sink>()), m_id(g_nextLogId++) {
    if (path && *path) open(path);
}

LogStream::~LogStream() { close(); }

std::ostream& LogStream::line() {
    // What a thread writes after its lines are gone (a global's destructor at exit) is dropped.
    static std::ostream& dropped = *new std::ostream(nullptr);
    Line* own = threadLine(true);
    return own ? own->stream() : dropped;
}

LogStream::Line* LogStream::threadLine(bool make) {
    struct Lines {
        std::vector<std::pair<uint64_t, std::unique_ptr<Line>>> kept;
        ~Lines() { t_linesGone = true; }
    };
    if (t_linesGone || (!make && !t_linesMade)) return nullptr;
    static thread_local Lines lines;
    t_linesMade = true;
    for (auto& [id, line] : lines.kept)
        if (id == m_id) return line.get();
    if (!make) return nullptr;
    lines.kept.emplace_back(m_id, std::make_unique<Line>(*m_sink));
    return lines.kept.back().second.get();
}

bool LogStream::open(const std::string& path, std::ios::openmode mode) {
    close();
    return m_sink->open(path, mode);
}

void LogStream::close() {
    if (Line* own = threadLine(false)) own->sendHalfLine();
    m_sink->close();
}

bool LogStream::is_open() const { return m_sink->isOpen(); }

std::string LogStream::path() const { return m_sink->path(); }

std::string LogStream::failure() const { return m_sink->failure(); }

std::streambuf* LogStream::capture(std::streambuf* target) { return m_sink->capture(target); }

std::string LogStream::oldName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".old";
    return path.substr(0, dot) + ".old" + path.substr(dot);
}
