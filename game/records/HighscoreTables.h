#pragma once
#include <memory>

#include "game/records/HighscoreChampionship.h"
#include "game/records/HighscoreSingleRace.h"
#include "game/records/HighscoreTimeTrial.h"

// The three local high-score tables and their file, "highscore.dat".
class HighscoreTables {
public:
    // In the program's home, beside "config.dat" (see Config::pathOf).
    static constexpr const char* FILE_NAME = "highscore.dat";
    static const uint32_t FILE_SIZE; // 6428 bytes: every record of the three tables

    HighscoreTables();

    // False when the file is missing, unreadable, or damaged (then it is set
    // aside); callers then reset and save.
    bool load(const char* fileName);
    // False when the file could not be written whole (the log then says
    // why), or when load found it there but unreadable: a player's scores
    // are never written over.
    bool save(const char* fileName);
    void reset();

    HighscoreChampionship& getChampionship() { return *m_championship; }
    HighscoreTimeTrial& getTimeTrial() { return *m_timeTrial; }
    HighscoreSingleRace& getSingleRace() { return *m_singleRace; }

private:
    // File order: championship, time trial, single race.
    HighscoreBase* table(int index);

    std::unique_ptr<HighscoreChampionship> m_championship;
    std::unique_ptr<HighscoreTimeTrial> m_timeTrial;
    std::unique_ptr<HighscoreSingleRace> m_singleRace;
    bool m_keepFile = false;
};
