#include "app/program/ProgramPaths.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/platform/Report.h"
#include "sys/firewall/Firewall.h"

namespace fs = std::filesystem;

namespace {

// The build puts the executable in build/app/, scripts/run packs beside build/.
constexpr int ARCHIVE_FOLDERS_ABOVE = 2;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string absolute(const std::string& path) {
    std::error_code error;
    fs::path full = fs::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::string chooseDataFolder() {
    if (std::string home = environment("PLIMZOR_HOME"); !home.empty()) return absolute(home);
    if (std::string data = environment("XDG_DATA_HOME"); !data.empty()) return absolute(data + "/plimzor2");
    if (std::string home = environment("HOME"); !home.empty()) return home + "/.local/share/plimzor2";
    return absolute(".");
}

std::string chooseArchive(const char* named) {
    if (named) return absolute(named);
    if (std::string fromEnvironment = environment("PLIMZOR_DATA"); !fromEnvironment.empty()) return absolute(fromEnvironment);
    std::vector<fs::path> folders{fs::current_path()};
    const std::string executable = sys::executablePath();
    fs::path folder = executable.empty() ? fs::path() : fs::path(executable).parent_path();
    for (int above = 0; above <= ARCHIVE_FOLDERS_ABOVE && !folder.empty(); ++above) {
        folders.push_back(folder);
        folder = folder.parent_path();
    }
    std::error_code error;
    for (const fs::path& candidate : folders)
        if (fs::is_regular_file(candidate / ProgramPaths::ARCHIVE_NAME, error))
            return (candidate / ProgramPaths::ARCHIVE_NAME).lexically_normal().string();
    return (folders.size() > 1 ? folders[1] : folders[0]) / ProgramPaths::ARCHIVE_NAME;
}

// Everything after the last slash, up to the last full stop.
std::string baseNameOf(const char* path) {
    std::string name = path ? path : "";
    if (size_t slash = name.find_last_of('/'); slash != std::string::npos) name.erase(0, slash + 1);
    if (size_t dot = name.find_last_of('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

std::string joinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) line += ' ';
        line += argv[i];
    }
    return line;
}

} // namespace

ProgramPaths ProgramPaths::find(int argc, char** argv) {
    ProgramPaths paths;
    paths.dataFolder = chooseDataFolder();
    std::string log = environment("PLIMZOR_LOG");
    paths.logFile = log.empty() ? paths.dataFolder + "/" + LOG_NAME : absolute(log);
    const char* archive = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], WINDOWED_ARGUMENT) == 0) paths.windowed = true;
        else if (!archive) archive = argv[i];
    }
    paths.archive = chooseArchive(archive);
    paths.baseName = baseNameOf(argc > 0 ? argv[0] : nullptr);
    paths.commandLine = joinArguments(argc, argv);
    return paths;
}

bool ProgramPaths::enter() const {
    std::error_code error;
    fs::create_directories(dataFolder, error);
    if (!error) fs::current_path(dataFolder, error);
    if (error) {
        std::fprintf(stderr, "plimzor2: cannot work in %s: %s\n", dataFolder.c_str(), error.message().c_str());
        return false;
    }
    g_logStream.close();
    const bool logged = g_logStream.open(logFile, std::ios::out | std::ios::app);
    // The game plays on without a writable home; the player is told once what is not kept.
    if (access(dataFolder.c_str(), W_OK) != 0)
        std::fprintf(stderr, "plimzor2: %s cannot be written: settings and high scores are not saved\n",
                     dataFolder.c_str());
    else if (!logged)
        std::fprintf(stderr, "plimzor2: the log %s cannot be written (%s): the game keeps no log\n", logFile.c_str(),
                     g_logStream.failure().c_str());
    return true;
}
