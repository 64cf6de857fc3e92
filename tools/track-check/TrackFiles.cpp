#include "tools/track-check/TrackFiles.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

TrackFiles::TrackFiles(File& archive, std::map<std::string, std::string> spares)
    : m_archive(&archive), m_shared(std::make_shared<Shared>()) {
    m_shared->spares = std::move(spares);
}

TrackFiles::TrackFiles(std::unique_ptr<File> archive, std::shared_ptr<Shared> shared)
    : m_ownArchive(std::move(archive)), m_archive(m_ownArchive.get()), m_shared(std::move(shared)) {}

TrackFiles::~TrackFiles() = default;

File* TrackFiles::clone() {
    std::unique_ptr<File> archive(m_archive->clone());
    return archive ? new TrackFiles(std::move(archive), m_shared) : nullptr;
}

bool TrackFiles::exists(const char* name) {
    if (m_archive->exists(name) || m_shared->spares.count(name) > 0) return true;
    // Loaders ask before they open. Every texture asks for a prebuilt .dds copy, which it may well lack.
    const std::string asked = name;
    if (asked.size() < 4 || asked.compare(asked.size() - 4, 4, ".dds") != 0) m_shared->missing.insert(asked);
    return false;
}

bool TrackFiles::open(const char* name) {
    close();
    if (m_archive->open(name)) {
        m_size = m_archive->getSize();
        return true;
    }
    auto spare = m_shared->spares.find(name);
    if (spare == m_shared->spares.end()) {
        m_shared->missing.insert(name);
        return false;
    }
    m_spare = &spare->second;
    m_size = static_cast<uint32_t>(m_spare->size());
    m_at = 0;
    return true;
}

bool TrackFiles::close() {
    m_spare = nullptr;
    m_size = 0;
    return m_archive->close();
}

int32_t TrackFiles::read(void* buffer, uint32_t count) {
    if (!m_spare) return m_archive->read(buffer, count);
    const uint32_t n = std::min<uint32_t>(count, m_size - m_at);
    std::memcpy(buffer, m_spare->data() + m_at, n);
    m_at += n;
    return static_cast<int32_t>(n);
}

bool TrackFiles::seek(uint32_t position) {
    if (!m_spare) return m_archive->seek(position);
    if (position > m_size) return false;
    m_at = position;
    return true;
}

bool TrackFiles::skip(int32_t count) {
    if (!m_spare) return m_archive->skip(count);
    const int64_t target = static_cast<int64_t>(m_at) + count;
    return target >= 0 && seek(static_cast<uint32_t>(target));
}

uint32_t TrackFiles::tell() { return m_spare ? m_at : m_archive->tell(); }

bool TrackFiles::inArchive(const char* name) { return m_archive->exists(name); }

std::set<std::string> TrackFiles::takeMissing() {
    std::set<std::string> missing = std::exchange(m_shared->missing, {});
    // A picture whose prebuilt copy is there is not missed.
    for (auto name = missing.begin(); name != missing.end();)
        name = m_archive->exists((*name + ".dds").c_str()) ? missing.erase(name) : std::next(name);
    return missing;
}
