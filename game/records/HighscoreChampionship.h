#pragma once
#include "game/records/HighscoreBase.h"

// A single row for the whole championship; the track argument is ignored.
// On equal times the greater second value ranks first. Stored as the row's
// record followed by a record of the last submitted time.
class HighscoreChampionship : public HighscoreBase {
public:
    static constexpr float NEVER_SUBMITTED = 3.4028235e38f;

    HighscoreChampionship();

    bool load(File& file) override;
    bool save(File& file) override;
    HighscoreEntry* getEntry(int track, int rank) override;
    void setEntry(int track, int rank, const HighscoreEntry& entry) override;
    HighscoreEntry* getBestLap(int track) override;
    void setBestLap(int track, const HighscoreEntry& entry) override;
    int insert(int track, const HighscoreEntry& entry) override;
    int findRank(int track, const HighscoreEntry& entry) override;
    // Also forgets the last submission.
    void reset() override;

    // The time of the best entry the online service last accepted.
    float m_submittedTime;

private:
    Row m_row;
};
