#pragma once
#include <string>

// One file of a track under the name the game opens it by.
struct TrackFile {
    std::string archiveName;
    std::string bytes;
};
