#pragma once
#include <cstdint>
#include <string>

#include "game/records/CheckedDiskFile.h"
#include "game/records/SaveFailure.h"

// A file of encrypted records on disk ("config.dat", "highscore.dat") at the
// path it is given. Reading insists on the exact size; writing goes to the
// file (or, for a link, its target) + ".new", synced, and only a finished
// commit renames it over the old file, so neither a failed save nor a power
// loss costs the previous one. A save that fails says why in one log line.
class RecordFile {
public:
    static constexpr int DAMAGED_COPIES = 5;

    explicit RecordFile(const char* path);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile(); // an uncommitted new file is removed

    // False when the file is missing or cannot be read; a file of another
    // size is rejected as damaged.
    bool openForReading(uint32_t expectedSize);
    // After a failed openForReading: the file is there but could not be read
    // (permissions, a folder of that name), so it must not be replaced.
    bool unreadable() const { return m_unreadable; }
    // Closes the file, moves it to the first free of name + ".damaged",
    // ".damaged.2" ... and says so in the log.
    void rejectAsDamaged(const char* reason);

    // `keptUnread`: an earlier load found the file there but unreadable, so
    // it is left as it is.
    bool create(bool keptUnread = false);
    // Renames the new file over the old one when all of its expectedSize
    // bytes went in and reached the disk; else removes it.
    bool commit(uint32_t expectedSize);
    // Why create or commit failed; NONE while neither has.
    SaveFailure failure() const { return m_failure; }

    File& file() { return m_file; }
    const std::string& getName() const { return m_name; }

private:
    std::string damagedCopyName() const;
    void reportNotSaved(SaveFailure failure, const std::string& why);

    std::string m_name;   // as the caller named it
    std::string m_target; // where the bytes go: a link's target
    CheckedDiskFile m_file;
    bool m_writing;
    bool m_unreadable;
    SaveFailure m_failure = SaveFailure::NONE;
};
