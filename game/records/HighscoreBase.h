#pragma once
#include <cstdint>

#include "game/records/BlowfishContext.h"
#include "game/records/HighscoreEntry.h"

class File;

// One high-score table of "highscore.dat", encrypted with the high-score key.
// A row holds the ranking (entries 0 to 9, best first), the best lap (entry 10)
// and one spare entry that is kept and saved.
class HighscoreBase {
public:
    static constexpr int RANKS = 10;
    static constexpr int BEST_LAP = 10;
    static constexpr int ROW_ENTRIES = 12;
    static constexpr float RESET_TIME = 9999999.0f;

    struct Row {
        HighscoreEntry entries[ROW_ENTRIES];
    };
    static constexpr uint32_t ROW_STORED_SIZE = ROW_ENTRIES * HighscoreEntry::STORED_SIZE; // 492

    HighscoreBase();
    virtual ~HighscoreBase() = default;

    // False when a record fails or holds entries no game writes.
    virtual bool load(File& file) = 0;
    // False when the file took less than the whole table.
    virtual bool save(File& file) = 0;
    // Null, and no change, for a track or rank outside the table.
    virtual HighscoreEntry* getEntry(int track, int rank) = 0;
    virtual void setEntry(int track, int rank, const HighscoreEntry& entry) = 0;
    virtual HighscoreEntry* getBestLap(int track) = 0;
    virtual void setBestLap(int track, const HighscoreEntry& entry) = 0;
    // The rank 0 to 9 the entry takes, or -1 when it is not better than rank 9.
    virtual int insert(int track, const HighscoreEntry& entry) = 0;
    virtual int findRank(int track, const HighscoreEntry& entry) = 0;

    // Every entry of every row becomes the reset entry (time 9999999.0).
    virtual void reset() = 0;

    // The high-score key, 16 characters.
    static const char* const KEY;

protected:
    static void fillRow(Row& row, float time);
    // A record of `count` rows as the file holds them, and back; false when a
    // record fails or holds entries no game writes.
    bool writeRows(const Row* rows, int count, File& file) const;
    bool readRows(Row* rows, int count, File& file) const;
    // Moves ranks `rank` to 8 one place down and writes the entry at `rank`.
    static void insertAt(Row& row, int rank, const HighscoreEntry& entry);
    // A copy whose name is cut to 30 characters and zero-filled.
    static HighscoreEntry cleanCopy(const HighscoreEntry& entry);

    const BlowfishContext& cipher() const { return m_cipher; }

private:
    BlowfishContext m_cipher;
};
