#include "engine/scene/loaders/MemberPrefetch.h"

#include <algorithm>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/scene/loaders/MemberFile.h"

namespace {

// Besides the loader's own thread, which reads and builds meanwhile; the
// archive's decoding spreads each large member over further threads.
constexpr unsigned MAX_THREADS = 3;

} // namespace

MemberPrefetch::MemberPrefetch(File& fileSystem, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const bool listed =
            std::any_of(m_members.begin(), m_members.end(), [&name](const Member& m) { return m.name == name; });
        if (!listed && fileSystem.exists(name.c_str())) m_members.emplace_back().name = name;
    }
    if (m_members.empty()) return;
    m_ownFiles.reset(fileSystem.clone());
    const unsigned threads = std::min<size_t>(MAX_THREADS, m_members.size());
    for (unsigned i = 0; i < threads; ++i) {
        std::unique_ptr<File> files(fileSystem.clone());
        if (!files) break;
        m_threads.emplace_back(&MemberPrefetch::work, this, std::move(files));
    }
}

MemberPrefetch::~MemberPrefetch() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    for (std::thread& thread : m_threads) thread.join();
}

void MemberPrefetch::read(File& files, Member& member, std::unique_lock<std::mutex>& lock) {
    member.state = State::READING;
    lock.unlock();
    ByteBuffer bytes;
    bool read = false;
    {
        // A failure is the loader's to report when it reads the file itself.
        const QuietReports quiet;
        if (files.open(member.name.c_str())) {
            bytes.resize(files.getSize());
            read = files.readFully(bytes.data(), bytes.size()) == bytes.size();
            files.close();
        }
    }
    lock.lock();
    member.bytes.swap(bytes);
    member.state = read ? State::READ : State::FAILED;
    m_done.notify_all();
}

void MemberPrefetch::work(std::unique_ptr<File> files) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        while (m_next < m_members.size() && m_members[m_next].state != State::WAITING) ++m_next;
        if (m_next == m_members.size()) return;
        read(*files, m_members[m_next], lock);
    }
}

std::unique_ptr<File> MemberPrefetch::take(const std::string& name) {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto member = std::find_if(m_members.begin(), m_members.end(), [&name](const Member& m) { return m.name == name; });
    if (member == m_members.end()) return nullptr;
    if (member->state == State::WAITING && m_ownFiles) read(*m_ownFiles, *member, lock);
    m_done.wait(lock, [&member] { return member->state != State::READING; });
    if (member->state != State::READ) return nullptr;
    member->state = State::TAKEN;
    auto file = std::make_unique<MemberFile>(member->name, std::move(member->bytes));
    file->open(name.c_str());
    return file;
}
