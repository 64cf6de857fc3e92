#include "game/records/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/platform/Report.h"

namespace fs = std::filesystem;

namespace {

std::string newFileName(const std::string& target) { return target + ".new"; }

bool exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Without the sync a power loss after the rename can leave an empty file.
// 0, or the errno of what failed: some file systems say only here that they are full.
int syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0) return errno;
    const int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}

constexpr int MAX_LINKS = 8;

// Saves go through a link to the file it points at, even one not written yet.
std::string resolveLinks(const std::string& path) {
    fs::path current = path;
    std::error_code error;
    for (int hop = 0; hop < MAX_LINKS && fs::is_symlink(current, error); ++hop) {
        const fs::path target = fs::read_symlink(current, error);
        if (error) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

// The player hears a full disk, a folder that will not take files, or a failing disk.
SaveFailure failureOf(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return SaveFailure::DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
    case ENAMETOOLONG: return SaveFailure::FOLDER_NOT_WRITABLE;
    default: return SaveFailure::DISK_ERROR;
    }
}

std::string folderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

} // namespace

RecordFile::RecordFile(const char* path)
    : m_name(path ? path : ""), m_target(m_name), m_writing(false), m_unreadable(false) {}

RecordFile::~RecordFile() {
    if (!m_writing) return;
    m_file.close();
    std::remove(newFileName(m_target).c_str());
}

bool RecordFile::openForReading(uint32_t expectedSize) {
    if (m_name.empty()) return false;
    struct stat info;
    const char* why = nullptr;
    if (stat(m_name.c_str(), &info) != 0) {
        if (errno == ENOENT) return false;
        why = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        why = "not a regular file";
    } else if (!m_file.open(m_name.c_str())) {
        why = std::strerror(errno);
    }
    if (why) {
        m_unreadable = true;
        g_logStream << m_name << " cannot be read (" << why << "); it is left as it is" << std::endl;
        return false;
    }
    if (m_file.getSize() == expectedSize) return true;
    rejectAsDamaged(m_file.getSize() < expectedSize ? "too short" : "too long");
    return false;
}

std::string RecordFile::damagedCopyName() const {
    const std::string first = m_target + ".damaged";
    if (!exists(first)) return first;
    for (int copy = 2; copy < DAMAGED_COPIES; ++copy) {
        const std::string name = first + "." + std::to_string(copy);
        if (!exists(name)) return name;
    }
    // All taken: the newest damage replaces the last copy, the first ones stay.
    return first + "." + std::to_string(DAMAGED_COPIES);
}

void RecordFile::rejectAsDamaged(const char* reason) {
    m_file.close();
    m_target = resolveLinks(m_name);
    const std::string aside = damagedCopyName();
    const bool kept = std::rename(m_target.c_str(), aside.c_str()) == 0;
    g_logStream << m_name << " is damaged (" << reason << "), using defaults";
    if (kept) g_logStream << "; the old file is kept as " << aside;
    g_logStream << std::endl;
}

bool RecordFile::create(bool keptUnread) {
    if (m_name.empty() || m_writing) return false;
    if (m_unreadable || keptUnread) {
        reportNotSaved(SaveFailure::KEPT_UNREAD, "it could not be read, so it is left as it is");
        return false;
    }
    m_target = resolveLinks(m_name);
    const std::string temporary = newFileName(m_target);
    std::remove(temporary.c_str());
    m_writing = m_file.create(temporary.c_str());
    if (!m_writing) {
        const int error = errno;
        reportNotSaved(failureOf(error), std::strerror(error));
    }
    return m_writing;
}

bool RecordFile::commit(uint32_t expectedSize) {
    if (!m_writing) return false;
    const uint32_t written = m_file.getSize();
    int error = m_file.writeError();
    m_file.close();
    m_writing = false;
    const std::string temporary = newFileName(m_target);
    if (error == 0 && written != expectedSize) {
        std::remove(temporary.c_str());
        reportNotSaved(SaveFailure::DISK_ERROR,
                       "only " + std::to_string(written) + " of " + std::to_string(expectedSize) + " bytes written");
        return false;
    }
    if (error == 0) error = syncPath(temporary, 0);
    if (error == 0 && std::rename(temporary.c_str(), m_target.c_str()) != 0) error = errno;
    if (error == 0) {
        syncPath(folderOf(m_target), O_DIRECTORY);
        return true;
    }
    std::remove(temporary.c_str());
    reportNotSaved(failureOf(error), std::strerror(error));
    return false;
}

// Each save not made leaves this one line, whichever step failed.
void RecordFile::reportNotSaved(SaveFailure failure, const std::string& why) {
    m_failure = failure;
    g_logStream << m_name << " cannot be written (" << why << "); it is not saved, the file on disk stays as it was"
                << std::endl;
}
