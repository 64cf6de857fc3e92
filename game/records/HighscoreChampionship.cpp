#include "game/records/HighscoreChampionship.h"

#include <cmath>

#include "game/records/EncryptedRecord.h"
#include "game/records/RecordBytes.h"

HighscoreChampionship::HighscoreChampionship() : m_submittedTime(NEVER_SUBMITTED) { fillRow(m_row, HighscoreEntry::EMPTY_TIME); }

bool HighscoreChampionship::load(File& file) {
    if (!readRows(&m_row, 1, file)) return false;
    uint8_t time[4];
    if (!readEncryptedRecord(file, cipher(), time, sizeof time)) return false;
    m_submittedTime = RecordBytes::getFloat(time);
    return !std::isnan(m_submittedTime);
}

bool HighscoreChampionship::save(File& file) {
    uint8_t time[4];
    RecordBytes::putFloat(time, m_submittedTime);
    return writeRows(&m_row, 1, file) && writeEncryptedRecord(time, sizeof time, cipher(), file);
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
