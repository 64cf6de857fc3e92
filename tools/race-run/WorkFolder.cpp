#include "tools/race-run/WorkFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

WorkFolder::WorkFolder() {
    std::error_code failed;
    std::string pattern = (fs::temp_directory_path(failed) / "race-run-XXXXXX").string();
    if (failed || !mkdtemp(pattern.data())) return;
    m_root = pattern;
    m_path = m_root + "/run";
    m_previous = fs::current_path(failed).string();
    if (failed || !fs::create_directory(m_path, failed)) return;
    m_entered = chdir(m_path.c_str()) == 0;
}

WorkFolder::~WorkFolder() {
    if (m_entered && chdir(m_previous.c_str()) != 0) m_entered = false;
    std::error_code ignored;
    if (!m_root.empty()) fs::remove_all(m_root, ignored);
}
