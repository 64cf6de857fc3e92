#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/ByteBuffer.h"

class File;

// Files a load will read, unpacked on a few threads of their own from the
// start, each through its own clone of the file system, while the loader works
// through them in order. A file that fails is left to the loader to read again,
// so it is reported where and as it always was. All threads end with this.
class MemberPrefetch {
public:
    // Names not found in the file system are left out; repeated names are read once.
    MemberPrefetch(File& fileSystem, const std::vector<std::string>& names);
    ~MemberPrefetch();
    MemberPrefetch(const MemberPrefetch&) = delete;
    MemberPrefetch& operator=(const MemberPrefetch&) = delete;

    // The named file, opened, once its bytes are in (read here when no thread has
    // begun it); null when it was not asked for, is taken already or failed.
    std::unique_ptr<File> take(const std::string& name);

private:
    enum class State { WAITING, READING, READ, FAILED, TAKEN };
    struct Member {
        std::string name;
        State state = State::WAITING;
        ByteBuffer bytes;
    };

    void work(std::unique_ptr<File> files);
    // Reads the member claimed by this thread, the lock released meanwhile.
    void read(File& files, Member& member, std::unique_lock<std::mutex>& lock);

    std::vector<Member> m_members;
    size_t m_next = 0;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::unique_ptr<File> m_ownFiles;
    std::vector<std::thread> m_threads;
};
