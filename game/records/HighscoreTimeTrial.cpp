#include "game/records/HighscoreTimeTrial.h"

HighscoreTimeTrial::HighscoreTimeTrial() {
    for (Row& r : m_rows) fillRow(r, HighscoreEntry::EMPTY_TIME);
}

HighscoreBase::Row* HighscoreTimeTrial::row(int track) {
    return track >= 0 && track < TRACKS ? &m_rows[track] : nullptr;
}

bool HighscoreTimeTrial::load(File& file) { return readRows(m_rows, TRACKS, file); }

bool HighscoreTimeTrial::save(File& file) { return writeRows(m_rows, TRACKS, file); }

HighscoreEntry* HighscoreTimeTrial::getEntry(int track, int rank) {
    Row* r = row(track);
    return r && rank >= 0 && rank < RANKS ? &r->entries[rank] : nullptr;
}

void HighscoreTimeTrial::setEntry(int track, int rank, const HighscoreEntry& entry) {
    if (HighscoreEntry* target = getEntry(track, rank)) *target = cleanCopy(entry);
}

HighscoreEntry* HighscoreTimeTrial::getBestLap(int track) {
    Row* r = row(track);
    return r ? &r->entries[BEST_LAP] : nullptr;
}

void HighscoreTimeTrial::setBestLap(int track, const HighscoreEntry& entry) {
    if (HighscoreEntry* target = getBestLap(track)) *target = cleanCopy(entry);
}

int HighscoreTimeTrial::findRank(int track, const HighscoreEntry& entry) {
    Row* r = row(track);
    if (!r) return -1;
    for (int rank = 0; rank < RANKS; ++rank)
        if (r->entries[rank].m_time > entry.m_time) return rank;
    return -1;
}

int HighscoreTimeTrial::insert(int track, const HighscoreEntry& entry) {
    int rank = findRank(track, entry);
    if (rank >= 0) insertAt(*row(track), rank, entry);
    return rank;
}

void HighscoreTimeTrial::reset() {
    for (Row& r : m_rows) fillRow(r, RESET_TIME);
}
