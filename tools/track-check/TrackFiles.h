#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>

#include "engine/platform/archive/File.h"

// The archive as a track sees it: every name read through it, with spare
// files standing in for names the archive lacks (a moped to drive), and a
// note of every name neither holds. Clones share the spares and the notes.
class TrackFiles : public File {
public:
    // Spares: bytes by archive name.
    TrackFiles(File& archive, std::map<std::string, std::string> spares);
    ~TrackFiles() override;

    File* clone() override;
    bool exists(const char* name) override;
    bool open(const char* name) override;
    bool create(const char*) override { return false; }
    bool close() override;
    int32_t read(void* buffer, uint32_t count) override;
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override;
    bool skip(int32_t count) override;
    uint32_t tell() override;

    // True when the archive itself holds the name.
    bool inArchive(const char* name);
    // The names asked for or opened in vain since the last call, and forgets them.
    std::set<std::string> takeMissing();

private:
    struct Shared {
        std::map<std::string, std::string> spares;
        std::set<std::string> missing;
    };
    TrackFiles(std::unique_ptr<File> archive, std::shared_ptr<Shared> shared);

    std::unique_ptr<File> m_ownArchive;
    File* m_archive;
    std::shared_ptr<Shared> m_shared;
    // The spare being read, or null while reading from the archive.
    const std::string* m_spare = nullptr;
    uint32_t m_at = 0;
};
