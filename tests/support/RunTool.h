#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <string>

// Runs a command line through the shell; its exit status (-1 when it did not
// exit) with its output, error output included, added to `output`.
inline int runTool(const std::string& command, std::string& output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
