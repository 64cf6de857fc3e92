#include "game/records/HighscoreTables.h"

#include "game/records/EncryptedRecord.h"
#include "game/records/RecordFile.h"

const uint32_t HighscoreTables::FILE_SIZE = encryptedRecordSize(HighscoreBase::ROW_STORED_SIZE) +
                                            encryptedRecordSize(sizeof(float)) +
                                            2 * encryptedRecordSize(HighscoreTimeTrial::RECORD_SIZE);

HighscoreTables::HighscoreTables()
    : m_championship(new HighscoreChampionship), m_timeTrial(new HighscoreTimeTrial),
      m_singleRace(new HighscoreSingleRace) {}

HighscoreTables::HighscoreTables(const HighscoreTables& other)
    : m_championship(new HighscoreChampionship(*other.m_championship)),
      m_timeTrial(new HighscoreTimeTrial(*other.m_timeTrial)),
      m_singleRace(new HighscoreSingleRace(*other.m_singleRace)), m_keepFile(other.m_keepFile) {}

HighscoreTables& HighscoreTables::operator=(const HighscoreTables& other) {
    *m_championship = *other.m_championship;
    *m_timeTrial = *other.m_timeTrial;
    *m_singleRace = *other.m_singleRace;
    m_keepFile = other.m_keepFile;
    return *this;
}

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

bool HighscoreTables::save(const char* fileName, SaveFailure* failure) {
    RecordFile file(fileName);
    // A table that does not go in whole leaves the file short: commit refuses it and logs why.
    if (file.create(m_keepFile))
        for (int i = 0; i < 3; ++i) table(i)->save(file.file());
    const bool saved = file.commit(FILE_SIZE);
    if (failure) *failure = saved ? SaveFailure::NONE : file.failure();
    return saved;
}

void HighscoreTables::reset() {
    m_timeTrial->reset();
    m_singleRace->reset();
    m_championship->reset();
}
