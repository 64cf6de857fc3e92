#include "sys/instance/InstanceBlock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

namespace {

// A folder in the shared /tmp is ours only if we own it and nobody else may enter.
bool privateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 077) == 0;
}

} // namespace

std::string InstanceBlock::namedFolder() {
    const char* dir = std::getenv("PLIMZOR_INSTANCE_DIR");
    return dir ? dir : "";
}

std::string InstanceBlock::folder() {
    if (std::string named = namedFolder(); !named.empty()) {
        // A folder asked for and missing is made, as copies meant to run side by side need it.
        std::error_code ignored;
        std::filesystem::create_directories(named, ignored);
        return named;
    }
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) return dir;
    std::string own = "/tmp/plimzor2-" + std::to_string(getuid());
    return privateFolder(own) ? own : std::string();
}

uint32_t InstanceBlock::currentId() { return uint32_t(getpid()); }

std::unique_ptr<InstanceBlock> InstanceBlock::open(const char* name, size_t size, std::string& error) {
    std::string dir = folder();
    if (dir.empty() || size == 0) {
        error = "no private folder for it";
        return nullptr;
    }
    int file = ::open((dir + "/" + name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0) {
        error = dir + ": " + std::strerror(errno);
        return nullptr;
    }
    bool owner = flock(file, LOCK_EX | LOCK_NB) == 0;
    bool held = !owner && errno == EWOULDBLOCK;
    // Every opener grows the file to the same size, so no one maps past its end.
    struct stat info {};
    bool sized = fstat(file, &info) == 0 && (info.st_size >= off_t(size) || ftruncate(file, off_t(size)) == 0);
    void* data = (owner || held) && sized ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                                          : MAP_FAILED;
    if (data == MAP_FAILED) {
        error = dir + "/" + name + ": " + std::strerror(errno);
        ::close(file);
        return nullptr;
    }
    return std::unique_ptr<InstanceBlock>(new InstanceBlock(file, static_cast<uint8_t*>(data), size, owner));
}

InstanceBlock::~InstanceBlock() {
    munmap(m_data, m_size);
    ::close(m_file);
}

} // namespace sys
