#pragma once
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/support/TempDir.h"

// A scratch folder whose disk fill() makes full. Where this process may mount
// one (as root, or as root of a user namespace of its own) it is a small tmpfs
// seen only by this process, and fill() takes its last block: every write that
// needs room then fails with ENOSPC. Elsewhere a file size limit stands in:
// a write past LIMIT bytes fails with EFBIG. lockWrites() makes the folder
// take no new files: the tmpfs goes read-only, else its permissions forbid it.
class FullFolder {
public:
    static constexpr rlim_t LIMIT = 64;

    FullFolder() : m_mounted(mountTmpfs()) {}
    ~FullFolder() {
        if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_oldLimit);
            std::signal(SIGXFSZ, m_oldHandler);
        }
        // So that the scratch folder can be emptied.
        if (m_locked) chmod(path().c_str(), 0755);
        // Lazily: the test may still work inside it.
        if (m_mounted) umount2(m_dir.path().c_str(), MNT_DETACH);
    }
    FullFolder(const FullFolder&) = delete;
    FullFolder& operator=(const FullFolder&) = delete;

    const std::string& path() const { return m_dir.path(); }
    std::string file(const std::string& name) const { return m_dir.file(name); }
    bool onTmpfs() const { return m_mounted; }

    void fill() {
        if (m_mounted) {
            const int fd = ::open(file("filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            static const char block[4096] = {};
            for (int i = 0; fd >= 0 && i < int(SIZE / sizeof block) + 1; ++i)
                if (::write(fd, block, sizeof block) <= 0) break;
            if (fd >= 0) ::close(fd);
            return;
        }
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_oldLimit);
        const rlimit small{LIMIT, m_oldLimit.rlim_max};
        m_limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }

    // What a write that fails here says.
    std::string reason() const { return std::strerror(m_mounted ? ENOSPC : EFBIG); }

    // False where neither works (root outside a namespace of its own ignores permissions).
    bool lockWrites() {
        if (m_mounted) return mount(nullptr, path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        m_locked = geteuid() != 0 && chmod(path().c_str(), 0555) == 0;
        return m_locked;
    }
    // What creating a file in the locked folder says.
    std::string lockedReason() const { return std::strerror(m_mounted ? EROFS : EACCES); }

private:
    static constexpr size_t SIZE = 64 * 1024;

    static bool writeProcFile(const char* name, const std::string& text) {
        std::ofstream out(name);
        out << text << std::flush;
        return bool(out);
    }

    bool mountTmpfs() {
        if (m_dir.path().empty()) return false;
        const std::string user = "0 " + std::to_string(geteuid()) + " 1";
        const std::string group = "0 " + std::to_string(getegid()) + " 1";
        if (unshare(CLONE_NEWNS) != 0) {
            if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
            writeProcFile("/proc/self/setgroups", "deny");
            if (!writeProcFile("/proc/self/uid_map", user) || !writeProcFile("/proc/self/gid_map", group))
                return false;
        }
        // The namespace began as a copy: its mounts must not reach the others.
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
        const std::string options = "size=" + std::to_string(SIZE);
        return mount("tmpfs", m_dir.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
    }

    TempDir m_dir;
    bool m_mounted;
    bool m_limited = false;
    bool m_locked = false;
    rlimit m_oldLimit{};
    void (*m_oldHandler)(int) = SIG_DFL;
};
