#pragma once
#include <string>
#include <vector>

// One file of the moped content: the name the game opens, where the data
// set's folder keeps it, its pack flags (3: range-coded and block-sorted).
struct MopedFile {
    std::string archiveName;
    std::string diskName;
    int flags;
    std::string bytes;
};

// Every file of the moped content: objects, riders, extras, scenes,
// previews and settings.
std::vector<MopedFile> mopedFiles();
