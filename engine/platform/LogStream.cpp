#include "engine/platform/LogStream.h"

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <mutex>
#include <streambuf>

namespace {

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

// Collects a line, then writes it stamped; threads write whole lines.
class LogStream::Buffer : public std::streambuf {
public:
    void open(const std::string& path, std::ios::openmode mode) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_path = path;
        m_file.open(path, mode | std::ios::binary);
        m_size = m_file.is_open() ? uint64_t(m_file.tellp()) : 0;
    }

    void close() {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_line.empty()) {
            m_line += '\n';
            writeLine();
        }
        m_file.close();
        m_file.clear();
    }

    bool isOpen() const { return m_file.is_open(); }

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        const char ch = char(c);
        xsputn(&ch, 1);
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::lock_guard<std::mutex> guard(m_lock);
        for (std::streamsize i = 0; i < count; ++i) {
            m_line += text[i];
            if (text[i] == '\n') writeLine();
        }
        return count;
    }

private:
    void writeLine() {
        if (!m_file.is_open()) {
            m_line.clear();
            return;
        }
        const std::string stamped = timeStamp() + m_line;
        m_line.clear();
        if (m_size > 0 && m_size + stamped.size() > MAX_BYTES) startAgain();
        m_file.write(stamped.data(), std::streamsize(stamped.size()));
        m_file.flush();
        m_size += stamped.size();
    }

    void startAgain() {
        m_size = 0;
        // A device such as /dev/null is no file to move.
        struct stat info;
        if (stat(m_path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
        m_file.close();
        std::rename(m_path.c_str(), oldName(m_path).c_str());
        m_file.clear();
        m_file.open(m_path, std::ios::out | std::ios::trunc | std::ios::binary);
    }

    std::mutex m_lock;
    std::ofstream m_file;
    std::string m_path;
    std::string m_line;
    uint64_t m_size = 0;
};

LogStream::LogStream(const char* path) : std::ostream(nullptr), m_buffer(std::make_unique<Buffer>()) {
    rdbuf(m_buffer.get());
    if (path && *path) open(path);
}

LogStream::~LogStream() { close(); }

void LogStream::open(const std::string& path, std::ios::openmode mode) {
    m_buffer->close();
    m_buffer->open(path, mode);
    clear();
    rdbuf(m_buffer.get());
}

void LogStream::close() { m_buffer->close(); }

bool LogStream::is_open() const { return m_buffer->isOpen(); }

std::string LogStream::oldName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".old";
    return path.substr(0, dot) + ".old" + path.substr(dot);
}
