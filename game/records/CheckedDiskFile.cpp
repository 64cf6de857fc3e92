#include "game/records/CheckedDiskFile.h"

#include <cerrno>

bool CheckedDiskFile::create(const char* name) {
    m_writeError = 0;
    return DiskFile::create(name);
}

int32_t CheckedDiskFile::write(const void* buffer, uint32_t count) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    // A full disk first takes part of a write; only the next try tells why it stopped.
    while (done < count && m_writeError == 0) {
        errno = 0;
        const int32_t n = DiskFile::write(bytes + done, count - done);
        if (n > 0)
            done += uint32_t(n);
        else
            m_writeError = errno != 0 ? errno : EBADF;
    }
    return int32_t(done);
}
