#include "game/HighscoreBase.h"

#include <cstring>

const char* const HighscoreBase::KEY = "QuarnholtMopedHS";

HighscoreBase::HighscoreBase() {
    const uint8_t iv[8] = {};
    blowfishSetKey(iv, uint32_t(std::strlen(KEY)), m_cipher, reinterpret_cast<const uint8_t*>(KEY));
}

void HighscoreBase::fillRow(Row& row, float time) {
    for (HighscoreEntry& entry : row.entries)
        entry = HighscoreEntry(time, 0, nullptr, HighscoreEntry::NO_INDEX, HighscoreEntry::NO_INDEX);
}

bool HighscoreBase::isValidRow(const Row& row) {
    for (const HighscoreEntry& entry : row.entries)
        if (!entry.isValid()) return false;
    return true;
}

void HighscoreBase::insertAt(Row& row, int rank, const HighscoreEntry& entry) {
    for (int i = RANKS - 1; i > rank; --i) row.entries[i] = row.entries[i - 1];
    row.entries[rank] = cleanCopy(entry);
}

HighscoreEntry HighscoreBase::cleanCopy(const HighscoreEntry& entry) {
    char name[HighscoreEntry::NAME_SIZE];
    std::memcpy(name, entry.m_name, sizeof name);
    name[HighscoreEntry::NAME_SIZE - 1] = '\0';
    return HighscoreEntry(entry.m_time, entry.m_value, name, entry.m_colour, entry.m_model);
}
