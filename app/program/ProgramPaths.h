#pragma once
#include <string>

// Where a run keeps its files. The player's own files ("config.dat",
// "highscore.dat", the log) live in a per-user folder, which becomes the
// working folder; the data archive is found apart from them.
class ProgramPaths {
public:
    static constexpr const char* ARCHIVE_NAME = "data.sar";
    static constexpr const char* LOG_NAME = "log.txt";
    static constexpr const char* WINDOWED_ARGUMENT = "--windowed";

    // PLIMZOR_HOME, else $XDG_DATA_HOME/plimzor2, else ~/.local/share/plimzor2.
    // The archive: the first argument but --windowed, else PLIMZOR_DATA, else "data.sar" in
    // the starting folder, beside the executable or up to two folders above
    // it (where scripts/run packs it). The log: PLIMZOR_LOG, else "log.txt"
    // in the data folder.
    static ProgramPaths find(int argc, char** argv);

    // Makes the data folder, works in it and writes the log there; false,
    // said on standard error, when the folder cannot be made or entered.
    bool enter() const;

    std::string dataFolder;
    std::string logFile;
    // Absolute; beside the executable when it is nowhere.
    std::string archive;
    // The executable's name without folder and extension: the window's title.
    std::string baseName;
    // --windowed: the player wants a window rather than the full screen.
    bool windowed = false;
    // The whole command line as a later copy hands it over.
    std::string commandLine;
};
