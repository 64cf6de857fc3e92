#pragma once
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

// The progress log: each line begins with the local time, and the file is
// bounded: once it would pass MAX_BYTES it moves to its old name ("log.txt"
// to "log.old.txt", the one before that is dropped) and a new one starts.
// Not open, it discards what it is given.
class LogStream : public std::ostream {
public:
    static constexpr uint64_t MAX_BYTES = 1 << 20;

    // Opens the file when a name is given.
    explicit LogStream(const char* path = nullptr);
    ~LogStream() override;
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    void open(const std::string& path, std::ios::openmode mode = std::ios::out | std::ios::app);
    void close();
    bool is_open() const;

    // "log.txt" becomes "log.old.txt"; a name without an extension gets ".old".
    static std::string oldName(const std::string& path);

private:
    class Buffer;
    std::unique_ptr<Buffer> m_buffer;
};
