#include "tools/sarpack/ArchiveLister.h"

#include <fstream>
#include <memory>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"

namespace {

std::unique_ptr<DataArchive> openForReading(const std::string& path, std::ostream& err) {
    DiskFile disk("");
    auto archive = std::make_unique<DataArchive>(disk);
    if (!archive->openArchive(path.c_str())) {
        err << "sarpack: cannot read archive " << path << "\n";
        return nullptr;
    }
    return archive;
}

} // namespace

int listArchive(const std::string& archive, std::ostream& out, std::ostream& err) {
    auto reader = openForReading(archive, err);
    if (!reader) return 1;
    for (const ArchiveEntry& e : reader->getDirectory())
        out << static_cast<unsigned>(e.flags) << '\t' << e.storedSize << '\t' << e.unpackedSize << '\t'
            << e.name << '\n';
    return 0;
}

int extractMember(const std::string& archive, const std::string& name, const std::string& file,
                  std::ostream& out, std::ostream& err) {
    auto reader = openForReading(archive, err);
    if (!reader) return 1;
    g_reportLevel = 1;
    g_reportToLog = true;
    if (!reader->open(name.c_str())) {
        err << "sarpack: " << g_lastErrorText.text();
        return 1;
    }
    std::vector<char> bytes(reader->getSize());
    if (!bytes.empty()) reader->read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (file.empty()) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return out ? 0 : 1;
    }
    std::ofstream target(file, std::ios::binary);
    target.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!target) {
        err << "sarpack: cannot write " << file << "\n";
        return 1;
    }
    return 0;
}
