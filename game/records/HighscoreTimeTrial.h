#pragma once
#include "game/race/GameRules.h"
#include "game/records/HighscoreBase.h"

// One row per track, ranked by time alone; stored as one record of all six rows.
class HighscoreTimeTrial : public HighscoreBase {
public:
    static constexpr int TRACKS = GameRules::TRACKS;
    static constexpr uint32_t RECORD_SIZE = TRACKS * ROW_STORED_SIZE;

    HighscoreTimeTrial();

    bool load(File& file) override;
    bool save(File& file) override;
    HighscoreEntry* getEntry(int track, int rank) override;
    void setEntry(int track, int rank, const HighscoreEntry& entry) override;
    HighscoreEntry* getBestLap(int track) override;
    void setBestLap(int track, const HighscoreEntry& entry) override;
    int insert(int track, const HighscoreEntry& entry) override;
    int findRank(int track, const HighscoreEntry& entry) override;
    void reset() override;

private:
    Row* row(int track);

    Row m_rows[TRACKS];
};

static_assert(HighscoreTimeTrial::RECORD_SIZE == 2952, "the track tables are one 2952-byte record");
