#include "engine/platform/MemberPrefetch.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "engine/platform/File.h"

MemberPrefetch::~MemberPrefetch() { finishWorkers(); }

void MemberPrefetch::finishWorkers() {
    for (std::thread& worker : m_workers) worker.join();
    m_workers.clear();
}

void MemberPrefetch::start(File& source, const std::string& archiveName, std::vector<ArchiveEntry> entries,
                           Unpack unpack) {
    finishWorkers();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_slots.clear();
        for (const ArchiveEntry& entry : entries) m_slots[entry.offset];
    }
    if (entries.empty()) return;
    // Largest first, so the longest decode does not start last.
    std::sort(entries.begin(), entries.end(),
              [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.unpackedSize > b.unpackedSize; });
    auto jobs = std::make_shared<std::vector<ArchiveEntry>>(std::move(entries));
    auto next = std::make_shared<std::atomic<size_t>>(0);
    const size_t workers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), jobs->size());
    for (size_t w = 0; w < workers; ++w) {
        std::shared_ptr<File> reader(source.clone());
        m_workers.emplace_back([this, reader, archiveName, jobs, next, unpack] {
            const bool opened = reader && reader->open(archiveName.c_str());
            for (size_t j = (*next)++; j < jobs->size(); j = (*next)++) {
                const ArchiveEntry& entry = (*jobs)[j];
                ByteBuffer bytes;
                bool unpacked = false;
                // Whatever goes wrong here, the member's opener meets again and reports.
                try {
                    unpacked = opened && unpack(*reader, entry, bytes);
                } catch (...) {
                    unpacked = false;
                }
                std::lock_guard<std::mutex> lock(m_mutex);
                Slot& slot = m_slots[entry.offset];
                slot.done = true;
                slot.unpacked = unpacked;
                slot.bytes.swap(bytes);
                m_finished.notify_all();
            }
            if (opened) reader->close();
        });
    }
}

bool MemberPrefetch::take(const ArchiveEntry& entry, ByteBuffer& bytes) {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto slot = m_slots.find(entry.offset);
    if (slot == m_slots.end()) return false;
    m_finished.wait(lock, [&slot] { return slot->second.done; });
    const bool unpacked = slot->second.unpacked;
    if (unpacked) bytes.swap(slot->second.bytes);
    m_slots.erase(slot);
    return unpacked;
}
