#include "game/records/HighscoreTables.h"

#include "game/records/EncryptedRecord.h"
#include "game/records/RecordFile.h"

const uint32_t HighscoreTables::FILE_SIZE = encryptedRecordSize(HighscoreBase::ROW_STORED_SIZE) +
                                            encryptedRecordSize(sizeof(float)) +
                                            2 * encryptedRecordSize(HighscoreTimeTrial::RECORD_SIZE);

HighscoreTables::HighscoreTables()
    : m_championship(new HighscoreChampionship), m_timeTrial(new HighscoreTimeTrial),
      m_singleRace(new HighscoreSingleRace) {}

HighscoreBase* HighscoreTables::table(int index) {
    HighscoreBase* const order[] = {m_championship.get(), m_timeTrial.get(), m_singleRace.get()};
    return order[index];
}

bool HighscoreTables::load(const char* fileName) {
    RecordFile file(fileName);
    if (!file.openForReading(FILE_SIZE)) {
        m_keepFile = file.unreadable();
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (!table(i)->load(file.file())) {
            file.rejectAsDamaged("a record fails its check");
            return false;
        }
    }
    return true;
}

bool HighscoreTables::save(const char* fileName) {
    if (m_keepFile) return false;
    RecordFile file(fileName);
    if (!file.create()) return false;
    // A table that does not go in whole leaves the file short: commit refuses it and logs why.
    for (int i = 0; i < 3; ++i) table(i)->save(file.file());
    return file.commit(FILE_SIZE);
}

void HighscoreTables::reset() {
    m_timeTrial->reset();
    m_singleRace->reset();
    m_championship->reset();
}
