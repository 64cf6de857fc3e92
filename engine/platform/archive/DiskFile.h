#pragma once
#include <string>

#include "engine/platform/archive/File.h"

// A file on disk. Names are the development paths of the assets: '\' reads as
// '/', and when a name does not open as it stands, its part behind the drive
// is tried behind each entry of the ';'-separated path list, each try also
// matching the path's letters without regard to case.
class DiskFile : public File {
public:
    explicit DiskFile(const char* pathList);
    DiskFile(const DiskFile& other);
    DiskFile& operator=(const DiskFile&) = delete;
    ~DiskFile() override;

    File* clone() override;
    bool exists(const char* name) override;
    bool open(const char* name) override;
    bool create(const char* name) override;
    bool close() override;
    int32_t read(void* buffer, uint32_t count) override;
    int32_t write(const void* buffer, uint32_t count) override;
    bool seek(uint32_t position) override;
    bool skip(int32_t count) override;
    uint32_t tell() override;

private:
    bool openPath(const std::string& name);

    std::string m_searchPath;
    int m_descriptor;
};
