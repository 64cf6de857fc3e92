#pragma once
#include <memory>

#include "game/records/HighscoreChampionship.h"
#include "game/records/HighscoreSingleRace.h"
#include "game/records/HighscoreTimeTrial.h"
#include "game/records/SaveFailure.h"

// The three local high-score tables and their file, "highscore.dat".
class HighscoreTables {
public:
    // In the program's home, beside "config.dat" (see Config::pathOf).
    static constexpr const char* FILE_NAME = "highscore.dat";
    static const uint32_t FILE_SIZE; // 6428 bytes: every record of the three tables

    HighscoreTables();
    // A copy keeps every entry and whether the file must be left alone.
    HighscoreTables(const HighscoreTables& other);
    HighscoreTables& operator=(const HighscoreTables& other);

    // False when the file is missing, unreadable, or damaged (then it is set
    // aside); HighscoreStore then resets and saves.
    bool load(const char* fileName);
    // False when the file could not be written whole, or when load found it
    // there but unreadable: a player's scores are never written over. The
    // log then says why, and so does `failure` when given.
    bool save(const char* fileName, SaveFailure* failure = nullptr);
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
