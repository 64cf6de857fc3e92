#include "game/HighscoreChampionship.h"

#include <cmath>

#include "game/EncryptedRecord.h"

HighscoreChampionship::HighscoreChampionship() : m_submittedTime(NEVER_SUBMITTED) { fillRow(m_row, HighscoreEntry::EMPTY_TIME); }

bool HighscoreChampionship::load(File& file) {
    if (!readEncryptedRecord(file, cipher(), &m_row, sizeof m_row)) return false;
    if (!readEncryptedRecord(file, cipher(), &m_submittedTime, sizeof m_submittedTime)) return false;
    return isValidRow(m_row) && !std::isnan(m_submittedTime);
}

bool HighscoreChampionship::save(File& file) {
    return writeEncryptedRecord(&m_row, sizeof m_row, cipher(), file) &&
           writeEncryptedRecord(&m_submittedTime, sizeof m_submittedTime, cipher(), file);
}

HighscoreEntry* HighscoreChampionship::getEntry(int, int rank) {
    return rank >= 0 && rank < RANKS ? &m_row.entries[rank] : nullptr;
}

void HighscoreChampionship::setEntry(int track, int rank, const HighscoreEntry& entry) {
    if (HighscoreEntry* target = getEntry(track, rank)) *target = cleanCopy(entry);
}

HighscoreEntry* HighscoreChampionship::getBestLap(int) { return &m_row.entries[BEST_LAP]; }

void HighscoreChampionship::setBestLap(int track, const HighscoreEntry& entry) {
    *getBestLap(track) = cleanCopy(entry);
}

int HighscoreChampionship::findRank(int, const HighscoreEntry& entry) {
    for (int rank = 0; rank < RANKS; ++rank) {
        const HighscoreEntry& stored = m_row.entries[rank];
        if (stored.m_time > entry.m_time) return rank;
        if (stored.m_time == entry.m_time && stored.m_value < entry.m_value) return rank;
    }
    return -1;
}

int HighscoreChampionship::insert(int track, const HighscoreEntry& entry) {
    int rank = findRank(track, entry);
    if (rank >= 0) insertAt(m_row, rank, entry);
    return rank;
}

void HighscoreChampionship::reset() {
    fillRow(m_row, RESET_TIME);
    m_submittedTime = NEVER_SUBMITTED;
}
