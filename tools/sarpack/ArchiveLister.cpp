#include "tools/sarpack/ArchiveLister.h"

#include <fstream>
#include <memory>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"

namespace {

std::unique_ptr<DataArchive> openForReading(const std::string& path, std::ostream& err) {
    // The archive's reports say what is wrong with it.
    g_reportLevel = 1;
    g_reportToLog = true;
    g_lastErrorText.assignText("");
    DiskFile disk("");
    auto archive = std::make_unique<DataArchive>(disk);
    if (!archive->openArchive(path.c_str())) {
        std::string reason = g_lastErrorText.text();
        if (reason.rfind("error: ", 0) == 0) reason.erase(0, 7);
        if (!reason.empty() && reason.back() == '\n') reason.pop_back();
        err << "sarpack: cannot read archive " << path << (archive->found() ? ": " + reason : ": not found") << "\n";
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
    if (!reader->open(name.c_str())) {
        err << "sarpack: " << g_lastErrorText.text();
        return 1;
    }
    std::ofstream target;
    if (!file.empty()) target.open(file, std::ios::binary);
    std::ostream& sink = file.empty() ? out : target;
    // Copied out in slices, so the member is held once, in the reader.
    std::vector<char> slice(1u << 16);
    while (int32_t n = reader->read(slice.data(), static_cast<uint32_t>(slice.size())))
        sink.write(slice.data(), n);
    if (!sink && !file.empty()) {
        err << "sarpack: cannot write " << file << "\n";
        return 1;
    }
    return sink ? 0 : 1;
}
