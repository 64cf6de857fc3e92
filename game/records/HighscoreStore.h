#pragma once
#include <memory>
#include <string>

#include "game/records/SaveFailure.h"

class HighscoreTables;

// Where a run's high scores live: "highscore.dat", and beside it the tables
// a save could not write there. Those stay for the rest of the run, so a
// high score the disk did not take is still in every table shown after it.
class HighscoreStore {
public:
    HighscoreStore();
    ~HighscoreStore();
    HighscoreStore(const HighscoreStore&) = delete;
    HighscoreStore& operator=(const HighscoreStore&) = delete;

    // The tables a failed save kept, else the file's; a file that fails to
    // load gives fresh tables, written at once.
    void load(HighscoreTables& tables, const std::string& fileName);
    // NONE when the file took the tables; else they are kept here and the answer says why.
    SaveFailure save(HighscoreTables& tables, const std::string& fileName);

private:
    std::unique_ptr<HighscoreTables> m_unsaved;
};
