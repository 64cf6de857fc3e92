#include "game/RecordFile.h"

#include <cstdio>

#include "engine/platform/Report.h"

namespace {

const char* const SEARCH_PATH = ".\\;..\\";

std::string toDiskName(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

std::string newFileName(const std::string& diskName) { return diskName + ".new"; }

} // namespace

RecordFile::RecordFile(const char* name)
    : m_name(name ? name : ""), m_diskName(toDiskName(m_name)), m_file(SEARCH_PATH), m_writing(false) {}

RecordFile::~RecordFile() {
    if (!m_writing) return;
    m_file.close();
    std::remove(newFileName(m_diskName).c_str());
}

bool RecordFile::openForReading(uint32_t expectedSize) {
    if (m_name.empty() || !m_file.open(m_name.c_str())) return false;
    if (m_file.getSize() == expectedSize) return true;
    rejectAsDamaged(m_file.getSize() < expectedSize ? "too short" : "too long");
    return false;
}

void RecordFile::rejectAsDamaged(const char* reason) {
    m_file.close();
    std::string aside = m_diskName + ".damaged";
    bool kept = std::rename(m_diskName.c_str(), aside.c_str()) == 0;
    g_logStream << m_name << " is damaged (" << reason << "), using defaults";
    if (kept) g_logStream << "; the old file is kept as " << aside;
    g_logStream << std::endl;
}

bool RecordFile::create() {
    if (m_name.empty() || m_writing) return false;
    std::string temporary = newFileName(m_diskName);
    std::remove(temporary.c_str());
    m_writing = m_file.create(temporary.c_str());
    return m_writing;
}

bool RecordFile::commit() {
    if (!m_writing) return false;
    m_file.close();
    m_writing = false;
    std::string temporary = newFileName(m_diskName);
    if (std::rename(temporary.c_str(), m_diskName.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    g_logStream << m_name << " could not be replaced; the old file stays" << std::endl;
    return false;
}
