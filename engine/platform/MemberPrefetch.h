#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/ArchiveEntry.h"
#include "engine/platform/ByteBuffer.h"

class File;

// Archive members unpacked ahead on several cores, each kept until it is
// opened once. An archive and its clones share one, so that a loader that
// opens through a clone finds the bytes too.
class MemberPrefetch {
public:
    // Unpacks one member read through `source`; false when it is damaged.
    using Unpack = std::function<bool(File& source, const ArchiveEntry& entry, ByteBuffer& bytes)>;

    MemberPrefetch() = default;
    MemberPrefetch(const MemberPrefetch&) = delete;
    MemberPrefetch& operator=(const MemberPrefetch&) = delete;
    ~MemberPrefetch();

    // Drops what the last start left unopened and unpacks `entries`, each
    // worker reading the named archive through its own clone of `source`.
    void start(File& source, const std::string& archiveName, std::vector<ArchiveEntry> entries, Unpack unpack);
    // The bytes of a member started before, once they are unpacked; false
    // when it was not started or is damaged (its opener then reports it).
    bool take(const ArchiveEntry& entry, ByteBuffer& bytes);

private:
    struct Slot {
        bool done = false;
        bool unpacked = false;
        ByteBuffer bytes;
    };
    void finishWorkers();

    std::mutex m_mutex;
    std::condition_variable m_finished;
    // By the member's offset, which names it in every clone's directory.
    std::map<uint32_t, Slot> m_slots;
    std::vector<std::thread> m_workers;
};
