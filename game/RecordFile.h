#pragma once
#include <cstdint>
#include <string>

#include "engine/platform/DiskFile.h"

// A file of encrypted records on disk ("config.dat", "highscore.dat").
// Reading goes along the search path ".\;..\" and insists on the exact size;
// writing goes to name + ".new", which only a finished commit renames over
// the old file, so a failed save never costs the previous one.
class RecordFile {
public:
    explicit RecordFile(const char* name);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile(); // an uncommitted new file is removed

    // False when the file is missing; a file of another size is rejected as damaged.
    bool openForReading(uint32_t expectedSize);
    // Closes the file, moves it to name + ".damaged" and says so in the log.
    void rejectAsDamaged(const char* reason);

    bool create();
    bool commit();

    File& file() { return m_file; }
    const std::string& getName() const { return m_name; }

private:
    std::string m_name;     // as the game names it
    std::string m_diskName; // with '/' for '\'
    DiskFile m_file;
    bool m_writing;
};
