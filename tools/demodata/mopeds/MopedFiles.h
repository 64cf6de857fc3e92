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

struct Lwo2Object;

// A file under its archive name, packed with flags 3.
MopedFile mopedFile(const std::string& archiveName, std::string bytes);
// The bytes of an LWO2 file.
std::string lwo2Bytes(const Lwo2Object& object);

// Every file of the moped content: objects, riders, extras, scenes,
// previews and settings.
std::vector<MopedFile> mopedFiles();
