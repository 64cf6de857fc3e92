#include "tests/app/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& variables, const std::string& outputFile)
    : m_outputFile(outputFile) {
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        size_t eq = entry.find('=');
        if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : variables) {
        if (value.empty()) merged.erase(name);
        else merged[name] = value;
    }
    std::vector<std::string> entries;
    for (const auto& [name, value] : merged) entries.push_back(name + "=" + value);
    std::vector<char*> envp, argv;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = arguments;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that a kill reaches whatever it started.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    if (posix_spawnp(&m_pid, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0) m_pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() { kill(); }

void ChildProcess::terminate() {
    if (m_pid > 0) ::kill(m_pid, SIGTERM);
}

void ChildProcess::kill() {
    if (!running()) return;
    ::kill(-m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_exitCode = -SIGKILL;
}

bool ChildProcess::running() {
    if (m_pid <= 0 || m_exitCode != STILL_RUNNING) return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid) return true;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return false;
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (running() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return running() ? STILL_RUNNING : m_exitCode;
}

std::string ChildProcess::output() const {
    std::ifstream in(m_outputFile);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
