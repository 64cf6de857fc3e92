#include "engine/platform/archive/DiskFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sys/files/PlainFile.h"

namespace {

std::string toSlashes(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

int openExact(const std::string& path) {
    std::string error;
    return sys::openPlainFile(path, error);
}

// The assets were made on a file system that ignored case: find each path
// component that does not exist as written by a case-insensitive match.
std::string resolveCase(const std::string& path) {
    std::string resolved;
    size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty()) continue;
        std::string candidate = resolved + part;
        struct stat st;
        if (part != "." && part != ".." && lstat(candidate.c_str(), &st) != 0) {
            DIR* dir = opendir(resolved.empty() ? "." : resolved.c_str());
            if (!dir) return "";
            bool found = false;
            while (dirent* entry = readdir(dir)) {
                if (strcasecmp(entry->d_name, part.c_str()) == 0) {
                    candidate = resolved + entry->d_name;
                    found = true;
                    break;
                }
            }
            closedir(dir);
            if (!found) return "";
        }
        resolved = candidate;
        if (end < path.size()) resolved += '/';
    }
    return resolved;
}

int openIgnoringCase(const std::string& path) {
    int fd = openExact(path);
    if (fd >= 0) return fd;
    std::string resolved = resolveCase(path);
    return resolved.empty() ? -1 : openExact(resolved);
}

} // namespace

DiskFile::DiskFile(const char* pathList) : m_searchPath(pathList ? pathList : ""), m_descriptor(-1) {}

DiskFile::DiskFile(const DiskFile& other) : File(), m_searchPath(other.m_searchPath), m_descriptor(-1) {}

DiskFile::~DiskFile() {
    if (m_descriptor >= 0) ::close(m_descriptor);
}

File* DiskFile::clone() { return new DiskFile(*this); }

bool DiskFile::exists(const char* name) {
    DiskFile probe(".\\;..\\");
    bool opened = probe.open(name);
    if (opened) probe.close();
    return opened;
}

bool DiskFile::openPath(const std::string& name) {
    m_descriptor = openIgnoringCase(toSlashes(name));
    return m_descriptor >= 0;
}

bool DiskFile::open(const char* name) {
    if (m_descriptor >= 0 || !name) return false;
    bool opened = openPath(name);
    if (!opened) {
        const char* colon = std::strrchr(name, ':');
        std::string tail = colon ? colon + 1 : name;
        size_t start = 0;
        while (!opened && start < m_searchPath.size()) {
            size_t end = m_searchPath.find(';', start);
            if (end == std::string::npos) end = m_searchPath.size();
            opened = openPath(m_searchPath.substr(start, end - start) + tail);
            start = end + 1;
        }
    }
    if (!opened) return false;
    off_t length = lseek(m_descriptor, 0, SEEK_END);
    lseek(m_descriptor, 0, SEEK_SET);
    m_size = length > 0 ? static_cast<uint32_t>(length) : 0;
    return true;
}

bool DiskFile::create(const char* name) {
    if (m_descriptor >= 0 || !name) return false;
    m_descriptor = ::open(toSlashes(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    m_size = 0;
    return m_descriptor >= 0;
}

bool DiskFile::close() {
    if (m_descriptor < 0) return false;
    ::close(m_descriptor);
    m_descriptor = -1;
    m_size = 0;
    return true;
}

int32_t DiskFile::read(void* buffer, uint32_t count) {
    if (m_descriptor < 0) return 0;
    if (count > 0x7FFFFFFFu) count = 0x7FFFFFFFu;
    ssize_t n;
    do n = ::read(m_descriptor, buffer, count);
    while (n < 0 && errno == EINTR);
    return n > 0 ? static_cast<int32_t>(n) : 0;
}

int32_t DiskFile::write(const void* buffer, uint32_t count) {
    if (m_descriptor < 0) return 0;
    if (count > 0x7FFFFFFFu) count = 0x7FFFFFFFu;
    ssize_t n;
    do n = ::write(m_descriptor, buffer, count);
    while (n < 0 && errno == EINTR);
    if (n <= 0) return 0;
    m_size += static_cast<uint32_t>(n);
    return static_cast<int32_t>(n);
}

bool DiskFile::seek(uint32_t position) {
    return m_descriptor >= 0 && lseek(m_descriptor, static_cast<off_t>(position), SEEK_SET) >= 0;
}

bool DiskFile::skip(int32_t count) {
    return m_descriptor >= 0 && lseek(m_descriptor, static_cast<off_t>(count), SEEK_CUR) >= 0;
}

uint32_t DiskFile::tell() {
    if (m_descriptor < 0) return 0;
    off_t pos = lseek(m_descriptor, 0, SEEK_CUR);
    return pos > 0 ? static_cast<uint32_t>(pos) : 0;
}
