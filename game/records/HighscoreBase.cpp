#include "game/records/HighscoreBase.h"

#include <cstring>
#include <vector>

#include "game/records/EncryptedRecord.h"

const char* const HighscoreBase::KEY = "QuarnholtMopedHS";

HighscoreBase::HighscoreBase() { keyRecordCipher(m_cipher, KEY); }

void HighscoreBase::fillRow(Row& row, float time) {
    for (HighscoreEntry& entry : row.entries)
        entry = HighscoreEntry(time, 0, nullptr, HighscoreEntry::NO_INDEX, HighscoreEntry::NO_INDEX);
}

bool HighscoreBase::writeRows(const Row* rows, int count, File& file) const {
    std::vector<uint8_t> bytes(count * ROW_STORED_SIZE);
    uint8_t* out = bytes.data();
    for (int r = 0; r < count; ++r)
        for (const HighscoreEntry& entry : rows[r].entries) {
            entry.store(out);
            out += HighscoreEntry::STORED_SIZE;
        }
    return writeEncryptedRecord(bytes.data(), uint32_t(bytes.size()), m_cipher, file);
}

bool HighscoreBase::readRows(Row* rows, int count, File& file) const {
    std::vector<uint8_t> bytes(count * ROW_STORED_SIZE);
    bool whole = readEncryptedRecord(file, m_cipher, bytes.data(), uint32_t(bytes.size()));
    const uint8_t* in = bytes.data();
    bool valid = true;
    for (int r = 0; r < count; ++r)
        for (HighscoreEntry& entry : rows[r].entries) {
            entry.restore(in);
            in += HighscoreEntry::STORED_SIZE;
            valid = valid && entry.isValid();
        }
    return whole && valid;
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
