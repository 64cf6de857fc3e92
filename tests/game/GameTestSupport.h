#pragma once
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>

#include "engine/platform/Report.h"
#include "game/records/EncryptedRecord.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempDir.h"

// Runs the test inside a scratch folder, where the game keeps its data files.
class ScratchFolder {
public:
    ScratchFolder() : m_old(getcwd(nullptr, 0)) { m_changed = chdir(m_dir.path().c_str()) == 0; }
    ~ScratchFolder() {
        if (m_old && chdir(m_old) != 0) m_changed = false;
        free(m_old);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool ok() const { return m_changed; }
    const TempDir& dir() const { return m_dir; }

private:
    TempDir m_dir;
    char* m_old;
    bool m_changed = false;
};

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

inline void writeWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The plain bytes of the record at `offset` of a saved file, decrypted with the given key.
inline std::string decryptRecordAt(const std::string& file, size_t offset, uint32_t length, const char* key) {
    std::string block = file.substr(offset + 5, length + recordPadCount(length));
    BlowfishContext context;
    const uint8_t iv[8] = {};
    blowfishSetKey(iv, 16, context, reinterpret_cast<const uint8_t*>(key));
    blowfishDecryptBuffer(BLOWFISH_CFB64, reinterpret_cast<uint8_t*>(block.data()), uint32_t(block.size()), context);
    return block.substr(0, length);
}
