#pragma once
#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

// A program started for a test with its own variables, its output kept in a
// file, inheriting the test's open descriptors; killed when the test leaves it running.
class ChildProcess {
public:
    static constexpr int STILL_RUNNING = -1000;

    // Variables given a value override the test's own; an empty value removes one.
    ChildProcess(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& variables,
                 const std::string& outputFile);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    bool running();
    // The exit code, or STILL_RUNNING when it did not end in time (-signal when a signal ended it).
    int waitForExit(std::chrono::milliseconds timeout);
    // Ends it at once, as a crash or a pulled plug would: nothing of it gets to say goodbye.
    void kill();
    // Asks it to end, as the system does at log-out (SIGTERM).
    void terminate();
    std::string output() const;

private:
    pid_t m_pid = -1;
    int m_exitCode = STILL_RUNNING;
    std::string m_outputFile;
};
