#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive/File.h"

// A file source that opens named members on worker threads before anyone asks
// for them, so unpacking a large member goes on while the caller works on other
// things. Opening a member read ahead waits for it if need be and serves it as
// the worker left it; any other name, and one that failed ahead, is opened at the
// source as usual, which reports why. Each member is served ahead once; its
// clones share what is read ahead. Names compare as the archive compares them.
class ReadAheadFile : public File {
public:
    // Reads through clones of `source`, which outlives this file, with `threads`
    // workers at most: the largest member the archive's directory tells of first,
    // the rest in the order named, which should be the order they are needed in.
    ReadAheadFile(File& source, const std::vector<std::string>& names, int threads);
    // Waits for the members being read, drops those not taken and joins the
    // workers: afterwards this file and its clones read at the source alone.
    ~ReadAheadFile() override;
    ReadAheadFile(const ReadAheadFile&) = delete;
    ReadAheadFile& operator=(const ReadAheadFile&) = delete;

    // The file this one reads ahead of.
    File& origin() const { return m_origin; }

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
    class Members;

    ReadAheadFile(File& origin, std::shared_ptr<Members> members);
    File& current() { return m_taken ? *m_taken : *m_source; }

    File& m_origin;
    std::shared_ptr<Members> m_members;
    // Only the first file joins the workers; clones may outlive it.
    bool m_owner;
    std::unique_ptr<File> m_source;
    // The member read ahead that is open, if one is.
    std::unique_ptr<File> m_taken;
};
