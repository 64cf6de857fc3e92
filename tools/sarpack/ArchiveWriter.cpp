#include "tools/sarpack/ArchiveWriter.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <exception>
#include <mutex>
#include <numeric>
#include <thread>

#include "engine/platform/archive/ArchiveEntry.h"
#include "sys/files/PlainFile.h"
#include "tools/sarpack/BlockSortForward.h"
#include "tools/sarpack/RangeEncoder.h"

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

void packMember(const ByteBuffer& data, uint8_t flags, ByteBuffer& stored, uint32_t& storedSize,
                uint32_t& unpackedSize) {
    ByteBuffer work(data);
    uint32_t primary = 0;
    if (flags & ArchiveEntry::BLOCK_SORTED) {
        ByteBuffer sorted;
        primary = forwardBwt(work, sorted);
        forwardMoveToFront(sorted, work);
    }
    unpackedSize = work.size();
    if (flags & ArchiveEntry::PACKED) {
        ByteBuffer packed;
        rangeEncode(work, packed);
        work.swap(packed);
    }
    storedSize = work.size();
    if (flags & ArchiveEntry::BLOCK_SORTED) {
        work.resize(storedSize + 4);
        std::memcpy(work.data() + storedSize, &primary, 4);
    }
    stored.swap(work);
}

bool ArchiveWriter::add(const std::string& name, const ByteBuffer& data, uint8_t flags) {
    return keep(name, ByteBuffer(data), flags);
}

bool ArchiveWriter::add(const std::string& name, const std::string& data, uint8_t flags) {
    ByteBuffer bytes;
    bytes.resize(static_cast<uint32_t>(data.size()));
    if (!data.empty()) std::memcpy(bytes.data(), data.data(), data.size());
    return keep(name, std::move(bytes), flags);
}

bool ArchiveWriter::has(const std::string& name) const {
    std::string key = name;
    std::replace(key.begin(), key.end(), '/', '\\');
    return std::any_of(m_members.begin(), m_members.end(),
                       [&key](const Member& m) { return strcasecmp(m.name.c_str(), key.c_str()) == 0; });
}

bool ArchiveWriter::keep(const std::string& name, ByteBuffer&& data, uint8_t flags) {
    if (name.empty() || name.size() > ArchiveEntry::MAX_NAME) return false;
    Member member;
    member.name = name;
    for (char& c : member.name)
        if (c == '/') c = '\\';
    member.flags = flags;
    member.data = std::move(data);
    m_members.push_back(std::move(member));
    return true;
}

bool ArchiveWriter::packAll(std::vector<Packed>& packed, std::string& error) const {
    packed.assign(m_members.size(), Packed{});
    // Largest first, so that the longest packing does not start last.
    std::vector<size_t> order(m_members.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return m_members[a].data.size() > m_members[b].data.size(); });
    std::atomic<size_t> next{0};
    std::mutex failing;
    std::string failure;
    auto work = [&] {
        for (size_t k; (k = next++) < order.size();) {
            const Member& m = m_members[order[k]];
            Packed& p = packed[order[k]];
            try {
                packMember(m.data, m.flags, p.stored, p.storedSize, p.unpackedSize);
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(failing);
                if (failure.empty()) failure = "cannot pack " + m.name + ": " + e.what();
            }
        }
    };
    const size_t threads = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), order.size());
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    error = failure;
    return failure.empty();
}

bool ArchiveWriter::write(const std::string& path, std::string& error) const {
    std::string why;
    if (!sys::replaceableByFile(path, why)) {
        error = "will not replace " + path + ": " + why;
        return false;
    }
    std::vector<Packed> packed;
    if (!packAll(packed, error)) return false;
    std::vector<uint8_t> directory;
    std::vector<uint8_t> body;
    uint32_t dataStart = m_layout == 1 ? 16 : 0;
    for (size_t i = 0; i < m_members.size(); ++i) {
        const Member& m = m_members[i];
        const Packed& p = packed[i];
        uint64_t offset = dataStart + body.size();
        if (offset + p.stored.size() > 0xFFFFFFFFull) {
            error = "archive larger than 4 GiB";
            return false;
        }
        directory.push_back(static_cast<uint8_t>(m.name.size()));
        directory.insert(directory.end(), m.name.begin(), m.name.end());
        directory.push_back(m.flags);
        putU32(directory, static_cast<uint32_t>(offset));
        putU32(directory, p.storedSize);
        putU32(directory, p.unpackedSize);
        body.insert(body.end(), p.stored.data(), p.stored.data() + p.stored.size());
    }

    std::vector<uint8_t> file;
    putU32(file, ARCHIVE_MAGIC);
    putU32(file, (m_layout << 24) | 1);
    putU32(file, static_cast<uint32_t>(m_members.size()));
    if (m_layout == 1) {
        putU32(file, static_cast<uint32_t>(16 + body.size()));
        file.insert(file.end(), body.begin(), body.end());
        file.insert(file.end(), directory.begin(), directory.end());
    } else {
        file.insert(file.end(), directory.begin(), directory.end());
        file.insert(file.end(), body.begin(), body.end());
    }

    // Write aside and rename, so that a failed run never leaves half an archive.
    std::string temp = path + ".tmp";
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        error = "cannot create " + temp;
        return false;
    }
    bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    ok = std::fclose(out) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}
