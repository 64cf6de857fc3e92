#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/archive/ArchiveEntry.h"
#include "engine/platform/archive/File.h"

// The packed asset archive, read-only. Its directory is read once; each open
// member is unpacked whole into memory and served from there. Names compare
// without case, with '/' read as '\'.
class DataArchive : public File {
public:
    explicit DataArchive(File& source);
    DataArchive(const DataArchive&) = delete;
    DataArchive& operator=(const DataArchive&) = delete;
    ~DataArchive() override;

    // Reads the header and directory of the named archive file; false when it
    // is missing, foreign, or its directory does not fit the file.
    bool openArchive(const char* name);
    // openArchive found the file, whether or not it could read it: a false
    // open of a found file means a damaged or foreign one.
    bool found() const { return !m_archiveName.empty(); }

    File* clone() override;
    bool exists(const char* name) override;
    bool open(const char* name) override;
    bool create(const char* name) override { return false; }
    bool close() override;
    int32_t read(void* buffer, uint32_t count) override;
    int32_t write(const void* buffer, uint32_t count) override { return 0; }
    bool seek(uint32_t position) override;
    bool skip(int32_t count) override;
    uint32_t tell() override { return m_position; }

    uint32_t getVersion() const { return m_version; }
    const std::vector<ArchiveEntry>& getDirectory() const { return m_directory; }
    // A member as stored, without unpacking it: its flags and sizes, then its bytes; false when
    // missing or unreadable. Telling members apart by these costs a fraction of unpacking them.
    bool readStored(const char* name, ByteBuffer& bytes);

private:
    const ArchiveEntry* findEntry(const char* name, bool openableOnly) const;
    // `end` gets the offset just past the directory.
    bool readDirectory(uint32_t count, uint32_t archiveSize, uint32_t& end);
    bool readExactly(void* buffer, uint32_t count);
    bool loadMember(const ArchiveEntry& entry, ByteBuffer& bytes);

    std::unique_ptr<File> m_source;
    std::string m_archiveName; // empty until openArchive found the file
    uint32_t m_version;
    int32_t m_entryCount;
    std::vector<ArchiveEntry> m_directory;
    bool m_directoryLoaded;
    uint32_t m_dataBase;
    ByteBuffer m_member;
    uint32_t m_position;
};
