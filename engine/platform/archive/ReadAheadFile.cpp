#include "engine/platform/archive/ReadAheadFile.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"

namespace {

// The archive's own comparison: without case, '/' read as '\'.
std::string memberKey(const char* name) {
    std::string key = name;
    for (char& c : key) c = c == '/' ? '\\' : char(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

} // namespace

// The members named ahead and the workers that open them, in the order named.
class ReadAheadFile::Members {
public:
    Members(File& source, const std::vector<std::string>& names, int threads) : m_prototype(source.clone()) {
        for (const std::string& name : names) {
            std::string key = memberKey(name.c_str());
            if (!find(key)) m_members.push_back({name, key, State::WAITING, nullptr, 0});
        }
        startLargest(source);
        const size_t workers = std::min(m_members.size(), size_t(std::max(threads, 0)));
        m_workers.reserve(workers);
        for (size_t i = 0; i < workers; ++i) {
            // A worker the system will not start leaves its members to the caller.
            try {
                m_workers.emplace_back([this] { work(); });
            } catch (const std::system_error&) {
                break;
            }
        }
    }

    ~Members() { finish(); }

    // The member opened ahead under that key, after waiting while a worker opens
    // it; null when it is not named, was taken already, failed, or no worker came
    // to it yet (the caller then opens it as usual, at once).
    std::unique_ptr<File> take(const std::string& key) {
        std::unique_lock<std::mutex> lock(m_lock);
        Member* member = find(key);
        if (!member) return nullptr;
        m_changed.wait(lock, [member] { return member->state != State::READING; });
        member->state = State::TAKEN;
        return std::move(member->file);
    }

    void finish() {
        std::vector<Member> dropped;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_finished = true;
        }
        for (std::thread& worker : m_workers) worker.join();
        m_workers.clear();
        std::lock_guard<std::mutex> lock(m_lock);
        dropped.swap(m_members);
    }

private:
    enum class State { WAITING, READING, READ, TAKEN };
    struct Member {
        std::string name;
        std::string key;
        State state;
        // Open on the member once read; null when that failed.
        std::unique_ptr<File> file;
        uint32_t unpackedSize;
    };

    // The longest unpacking starts first, where the source is an archive that tells
    // sizes; the rest follow in the order named, which is the order they are needed in.
    void startLargest(File& source) {
        const auto* archive = dynamic_cast<const DataArchive*>(&source);
        if (!archive || m_members.empty()) return;
        std::unordered_map<std::string, Member*> named;
        for (Member& member : m_members) named[member.key] = &member;
        for (const ArchiveEntry& entry : archive->getDirectory())
            if (auto found = named.find(memberKey(entry.name)); found != named.end())
                found->second->unpackedSize = entry.unpackedSize;
        auto largest = std::max_element(m_members.begin(), m_members.end(), [](const Member& a, const Member& b) {
            return a.unpackedSize < b.unpackedSize;
        });
        std::rotate(m_members.begin(), largest, largest + 1);
    }

    Member* find(const std::string& key) {
        for (Member& member : m_members)
            if (member.key == key && member.state != State::TAKEN) return &member;
        return nullptr;
    }

    void work() {
        // A failure is met again, and reported, by whoever opens the member.
        const QuietReports quiet;
        std::unique_lock<std::mutex> lock(m_lock);
        while (!m_finished) {
            Member* member = nullptr;
            for (; m_next < m_members.size() && !member; ++m_next)
                if (m_members[m_next].state == State::WAITING) member = &m_members[m_next];
            if (!member) return;
            member->state = State::READING;
            std::unique_ptr<File> file(m_prototype->clone());
            const std::string name = member->name;
            lock.unlock();
            bool opened = false;
            try {
                opened = file && file->open(name.c_str());
            } catch (...) {
                opened = false;
            }
            if (!opened) file.reset();
            lock.lock();
            member->file = std::move(file);
            member->state = State::READ;
            m_changed.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    // What the workers clone their streams from, under the lock.
    std::unique_ptr<File> m_prototype;
    // Its size is fixed before the workers start: they hold pointers into it.
    std::vector<Member> m_members;
    size_t m_next = 0;
    bool m_finished = false;
    std::vector<std::thread> m_workers;
};

ReadAheadFile::ReadAheadFile(File& source, const std::vector<std::string>& names, int threads)
    : m_origin(source), m_members(std::make_shared<Members>(source, names, threads)), m_owner(true),
      m_source(source.clone()) {}

ReadAheadFile::ReadAheadFile(File& origin, std::shared_ptr<Members> members)
    : m_origin(origin), m_members(std::move(members)), m_owner(false) {}

ReadAheadFile::~ReadAheadFile() {
    if (m_owner) m_members->finish();
}

File* ReadAheadFile::clone() {
    auto* copy = new ReadAheadFile(m_origin, m_members);
    copy->m_source.reset(m_source->clone());
    return copy;
}

bool ReadAheadFile::exists(const char* name) { return m_source->exists(name); }

bool ReadAheadFile::open(const char* name) {
    if (name) {
        if (std::unique_ptr<File> ahead = m_members->take(memberKey(name))) {
            m_source->close();
            m_taken = std::move(ahead);
            m_size = m_taken->getSize();
            return true;
        }
    }
    // As at the source, a failed open leaves the open member as it was.
    if (!m_source->open(name)) return false;
    m_taken.reset();
    m_size = m_source->getSize();
    return true;
}

bool ReadAheadFile::create(const char* name) {
    if (!m_source->create(name)) return false;
    m_taken.reset();
    m_size = m_source->getSize();
    return true;
}

bool ReadAheadFile::close() {
    const bool closed = current().close();
    m_taken.reset();
    m_size = m_source->getSize();
    return closed;
}

int32_t ReadAheadFile::read(void* buffer, uint32_t count) { return current().read(buffer, count); }

int32_t ReadAheadFile::write(const void* buffer, uint32_t count) {
    const int32_t written = current().write(buffer, count);
    m_size = current().getSize();
    return written;
}

bool ReadAheadFile::seek(uint32_t position) { return current().seek(position); }

bool ReadAheadFile::skip(int32_t count) { return current().skip(count); }

uint32_t ReadAheadFile::tell() { return current().tell(); }
