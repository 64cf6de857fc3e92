#include "engine/platform/archive/DataArchive.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "engine/platform/Report.h"
#include "engine/platform/archive/BlockSort.h"
#include "engine/platform/archive/BwtRoom.h"
#include "engine/platform/archive/HugePages.h"
#include "engine/platform/archive/PagePrefault.h"
#include "engine/platform/archive/RangeDecoder.h"

namespace {

constexpr uint32_t MIN_ENTRY_SIZE = 14;
// No well-formed packed stream expands further than this per stored byte.
constexpr uint64_t MAX_EXPANSION = 512;
// Members up to this size are decoded into memory prepared beside the decoding.
constexpr uint32_t PREPARED_MAX = (16u << 20) - 2;

std::string memberKey(const char* name) {
    std::string converted = name;
    for (char& c : converted)
        if (c == '/') c = '\\';
    return converted;
}

} // namespace

DataArchive::DataArchive(File& source)
    : m_source(source.clone()), m_version(0), m_entryCount(0),
      m_directoryLoaded(false), m_dataBase(0), m_position(0) {
    m_member.resize(0);
}

DataArchive::~DataArchive() {
    if (!m_archiveName.empty()) m_source->close();
}

bool DataArchive::readExactly(void* buffer, uint32_t count) { return m_source->readFully(buffer, count) == count; }

bool DataArchive::openArchive(const char* name) {
    if (m_directoryLoaded || !name) return false;
    if (!m_source->exists(name) || !m_source->open(name)) return false;
    m_archiveName = name;

    uint32_t header[3];
    if (!readExactly(header, sizeof header) || header[0] != ARCHIVE_MAGIC) {
        reportError("error: no archive: the file does not begin with \"SARC\"\n");
        return false;
    }
    m_version = header[1];
    uint32_t layout = m_version >> 24;
    if (layout > 1) {
        reportError(formatStatic("error: archive layout %u is unknown\n", layout));
        return false;
    }
    const uint32_t count = header[2];
    const uint32_t archiveSize = m_source->getSize();
    if (layout == 1) {
        uint32_t directoryOffset;
        if (!readExactly(&directoryOffset, 4) || directoryOffset > archiveSize || !m_source->seek(directoryOffset)) {
            reportError("error: archive directory runs past the end of the file\n");
            return false;
        }
    }
    uint32_t directoryEnd = 0;
    if (!readDirectory(count, archiveSize, directoryEnd)) {
        m_directory.clear();
        return false;
    }
    m_dataBase = layout == 1 ? 0 : directoryEnd;
    m_entryCount = static_cast<int32_t>(m_directory.size());
    m_directoryLoaded = true;
    return true;
}

bool DataArchive::readDirectory(uint32_t count, uint32_t archiveSize, uint32_t& end) {
    end = m_source->tell();
    if (count == 0) return true;
    // Every entry takes at least 14 bytes, which bounds a forged count.
    if (static_cast<uint64_t>(count) * MIN_ENTRY_SIZE > archiveSize) {
        reportError("error: archive directory runs past the end of the file\n");
        return false;
    }
    // The directory is read in one go and taken apart in memory: a read for
    // each field cost over a thousand system calls for the demo archive.
    const uint64_t longest = static_cast<uint64_t>(count) * (MIN_ENTRY_SIZE + ArchiveEntry::MAX_NAME);
    const uint32_t available = archiveSize > end ? archiveSize - end : 0;
    ByteBuffer bytes;
    bytes.resize(static_cast<uint32_t>(longest < available ? longest : available));
    if (!readExactly(bytes.data(), bytes.size())) return false;
    uint32_t at = 0;
    auto take = [&bytes, &at](void* to, uint32_t n) {
        if (n > bytes.size() - at) return false;
        std::memcpy(to, bytes.data() + at, n);
        at += n;
        return true;
    };
    m_directory.reserve(static_cast<size_t>(count));
    for (uint32_t i = 0; i < count; ++i) {
        ArchiveEntry entry{};
        uint32_t fields[3];
        if (!take(&entry.nameLength, 1)) return false;
        if (entry.nameLength > ArchiveEntry::MAX_NAME) {
            reportError("error: archive member name too long\n");
            return false;
        }
        if (!take(entry.name, entry.nameLength) || !take(&entry.flags, 1) || !take(fields, sizeof fields)) {
            reportError("error: archive directory runs past the end of the file\n");
            return false;
        }
        entry.name[entry.nameLength] = 0;
        entry.offset = fields[0];
        entry.storedSize = fields[1];
        entry.unpackedSize = fields[2];
        m_directory.push_back(entry);
    }
    end += at;
    return true;
}

File* DataArchive::clone() {
    auto* copy = new DataArchive(*m_source);
    if (!m_archiveName.empty() && copy->m_source->open(m_archiveName.c_str())) copy->m_archiveName = m_archiveName;
    copy->m_version = m_version;
    copy->m_entryCount = m_entryCount;
    copy->m_directory = m_directory;
    copy->m_directoryLoaded = m_directoryLoaded;
    copy->m_dataBase = m_dataBase;
    return copy;
}

const ArchiveEntry* DataArchive::findEntry(const char* name, bool openableOnly) const {
    if (!name) return nullptr;
    std::string converted = memberKey(name);
    for (const ArchiveEntry& entry : m_directory) {
        if (openableOnly && (entry.flags & ~ArchiveEntry::KNOWN_FLAGS)) continue;
        if (strcasecmp(entry.name, converted.c_str()) == 0) return &entry;
    }
    return nullptr;
}

bool DataArchive::exists(const char* name) { return findEntry(name, false) != nullptr; }

bool DataArchive::loadMember(const ArchiveEntry& entry, ByteBuffer& bytes) {
    const uint64_t start = static_cast<uint64_t>(m_dataBase) + entry.offset;
    const bool blockSorted = entry.flags & ArchiveEntry::BLOCK_SORTED;
    if (start + entry.storedSize + (blockSorted ? 4 : 0) > m_source->getSize() ||
        !m_source->seek(static_cast<uint32_t>(start)))
        return false;

    MoveToFrontTable ranks;
    // Memory the size the directory claims has its pages brought in while the
    // member is decoded; only up to a bound, so a forged size commits little.
    const bool ahead = entry.unpackedSize <= PREPARED_MAX &&
                       entry.unpackedSize <= static_cast<uint64_t>(entry.storedSize) * MAX_EXPANSION;
    std::unique_ptr<BwtRoom> room = blockSorted && ahead ? std::make_unique<BwtRoom>(entry.unpackedSize) : nullptr;
    if (entry.flags & ArchiveEntry::PACKED) {
        ByteBuffer packed;
        packed.resize(entry.storedSize);
        // Each small page the read first touches costs a fault of its own.
        adviseHugePages(packed.data(), entry.storedSize);
        // Room for the block sort's walk too, so it needs no second buffer.
        const size_t capacity = blockSorted && ahead ? inverseBwtCapacity(entry.unpackedSize) : entry.unpackedSize;
        bytes.resize(static_cast<uint32_t>(capacity));
        bytes.resize(entry.unpackedSize);
        // The room beyond the member comes in with the walk, in small pages,
        // keeping the peak below six bytes a byte.
        adviseHugePages(bytes.data(), entry.unpackedSize);
        // Started once every buffer is mapped, so no mapping waits for it.
        PagePrefault prefault(bytes.data(), ahead ? entry.unpackedSize : 0, room ? room->memory() : nullptr,
                              room ? room->memoryBytes() : 0);
        if (!readExactly(packed.data(), entry.storedSize)) return false;
        uint64_t limit = static_cast<uint64_t>(entry.storedSize) * MAX_EXPANSION + entry.unpackedSize + 4096;
        RangeDecoder::decode(packed, bytes, limit, blockSorted ? &ranks : nullptr, room ? room->counter() : nullptr);
    } else {
        bytes.resize(entry.storedSize);
        if (!readExactly(bytes.data(), entry.storedSize)) return false;
        if (blockSorted) inverseMoveToFront(bytes);
    }

    if (blockSorted) {
        uint32_t primaryIndex;
        if (!readExactly(&primaryIndex, 4)) return false;
        if (!inverseBwt(bytes, primaryIndex, room.get())) return false;
    }
    return true;
}

bool DataArchive::readStored(const char* name, ByteBuffer& bytes) {
    const ArchiveEntry* entry = findEntry(name, true);
    if (!entry) return false;
    const uint64_t stored = uint64_t(entry->storedSize) + ((entry->flags & ArchiveEntry::BLOCK_SORTED) ? 4 : 0);
    const uint64_t start = static_cast<uint64_t>(m_dataBase) + entry->offset;
    const uint32_t fields[3] = {entry->flags, entry->storedSize, entry->unpackedSize};
    if (start + stored > m_source->getSize() || !m_source->seek(static_cast<uint32_t>(start))) return false;
    bytes.resize(static_cast<uint32_t>(sizeof fields + stored));
    std::memcpy(bytes.data(), fields, sizeof fields);
    return readExactly(bytes.data() + sizeof fields, static_cast<uint32_t>(stored));
}

bool DataArchive::open(const char* name) {
    if (!name) return false;
    const ArchiveEntry* entry = findEntry(name, true);
    if (!entry) {
        reportError(formatStatic("error: \"%s\" not found !!!\n", memberKey(name).c_str()));
        return false;
    }
    // Unpack aside so that a broken member leaves the open one as it was.
    ByteBuffer bytes;
    bool loaded;
    try {
        loaded = loadMember(*entry, bytes);
    } catch (const RangeDecoder::Error& e) {
        loaded = false;
    }
    if (!loaded) {
        reportError(formatStatic("error: \"%s\" is damaged !!!\n", entry->name));
        return false;
    }
    m_member.swap(bytes);
    m_position = 0;
    m_size = m_member.size();
    return true;
}

bool DataArchive::close() {
    m_member.resize(0);
    m_size = 0;
    m_position = 0;
    return true;
}

int32_t DataArchive::read(void* buffer, uint32_t count) {
    uint32_t left = m_size - m_position;
    uint32_t n = count < left ? count : left;
    if (n > 0x7FFFFFFFu) n = 0x7FFFFFFFu;
    if (n) std::memcpy(buffer, m_member.data() + m_position, n);
    m_position += n;
    return static_cast<int32_t>(n);
}

bool DataArchive::seek(uint32_t position) {
    m_position = position > m_size ? m_size : position;
    return true;
}

bool DataArchive::skip(int32_t count) {
    uint32_t position = m_position + static_cast<uint32_t>(count);
    m_position = position > m_size ? m_size : position;
    return true;
}
