#pragma once
#include <cstdint>

#include "engine/platform/archive/DiskFile.h"

// A disk file that takes the whole of each write or keeps why it could not:
// the record writers see only a short count, and a failed save must say
// the reason. After a failed write it takes nothing more.
class CheckedDiskFile : public DiskFile {
public:
    CheckedDiskFile() : DiskFile("") {}

    File* clone() override { return new CheckedDiskFile; }
    bool create(const char* name) override;
    int32_t write(const void* buffer, uint32_t count) override;

    // The errno of the first write that failed since create, else 0.
    int writeError() const { return m_writeError; }

private:
    int m_writeError = 0;
};
