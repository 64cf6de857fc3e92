#include "sys/files/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sys {

namespace {

const char* notPlain(mode_t mode) { return S_ISDIR(mode) ? "a folder" : "no plain file"; }

} // namespace

int openPlainFile(const std::string& path, std::string& error) {
    int file;
    // Without the flag, opening a fifo waits for a writer that may never come.
    do file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (file < 0 && errno == EINTR);
    if (file < 0) {
        error = std::strerror(errno);
        return -1;
    }
    struct stat info {};
    if (fstat(file, &info) == 0 && S_ISREG(info.st_mode)) return file;
    error = notPlain(info.st_mode);
    ::close(file);
    return -1;
}

bool replaceableByFile(const std::string& path, std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return true;
        error = std::strerror(errno);
        return false;
    }
    if (S_ISREG(info.st_mode)) return true;
    error = notPlain(info.st_mode);
    return false;
}

bool readPlainFile(const std::string& path, size_t limit, std::string& bytes, std::string& error) {
    const int file = openPlainFile(path, error);
    if (file < 0) return false;
    bytes.clear();
    char slice[1 << 16];
    // Each turn takes at least a byte or ends; the limit ends a file that grows while it is read.
    for (;;) {
        const ssize_t n = ::read(file, slice, sizeof slice);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = std::strerror(errno);
        if (n <= 0 || bytes.size() + size_t(n) > limit) {
            if (n > 0) error = "larger than " + std::to_string(limit) + " bytes";
            ::close(file);
            return n == 0;
        }
        bytes.append(slice, size_t(n));
    }
}

} // namespace sys
