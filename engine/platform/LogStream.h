#pragma once
#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

// The progress log: each line begins with the local time, and the file is
// bounded: once it would pass MAX_BYTES it moves to its old name ("log.txt"
// to "log.old.txt", the one before that is dropped) and a new one starts.
// Each thread builds its lines in a stream of its own, with its own
// formatting, and a finished line goes out whole. Not open, it discards what
// it is given.
class LogStream {
public:
    static constexpr uint64_t MAX_BYTES = 1 << 20;

    // Opens the file when a name is given.
    explicit LogStream(const char* path = nullptr);
    ~LogStream();
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    // Only a plain file or a device such as /dev/null: a fifo would stall
    // every line. False, with the reason in failure(), when it is not opened.
    bool open(const std::string& path, std::ios::openmode mode = std::ios::out | std::ios::app);
    // Sends the calling thread's half line first.
    void close();
    bool is_open() const;
    // The name last given to open, opened or not.
    std::string path() const;
    std::string failure() const;

    // The calling thread's stream: what it is given goes out a line at a time.
    std::ostream& line();
    template <typename T>
    std::ostream& operator<<(const T& value) {
        return line() << value;
    }
    std::ostream& operator<<(std::ostream& (*manipulator)(std::ostream&)) { return manipulator(line()); }
    std::ostream& operator<<(std::ios_base& (*manipulator)(std::ios_base&)) { return line() << manipulator; }

    // While a target is set, finished lines go there as written, without the
    // time, instead of to the file; returns the target before.
    std::streambuf* capture(std::streambuf* target);

    // "log.txt" becomes "log.old.txt"; a name without an extension gets ".old".
    static std::string oldName(const std::string& path);

private:
    class Sink;
    class Line;
    // The calling thread's line of this log, made when asked to; null once the thread's lines are gone.
    Line* threadLine(bool make);

    std::unique_ptr<Sink> m_sink;
    // Tells this log's lines on each thread from those of a log gone before.
    const uint64_t m_id;
};
