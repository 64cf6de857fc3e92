#pragma once
#include <memory>
#include <stdexcept>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"

// The packed demo data set the build makes, opened once for the whole
// program as the game opens "data.sar"; the program is compiled with its path.
inline File& demoArchive() {
    static DiskFile disk("");
    static std::unique_ptr<DataArchive> archive = [] {
        auto opened = std::make_unique<DataArchive>(disk);
        if (!opened->openArchive(DEMO_ARCHIVE_PATH)) opened.reset();
        return opened;
    }();
    if (!archive) throw std::runtime_error("no demo archive at " DEMO_ARCHIVE_PATH);
    return *archive;
}
