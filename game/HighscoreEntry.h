#pragma once
#include <cstdint>

#pragma pack(push, 1)
// One row of a high-score table exactly as "highscore.dat" stores it (41 bytes).
struct HighscoreEntry {
    static constexpr uint32_t NAME_SIZE = 31; // 30 characters and the terminator
    static constexpr float EMPTY_TIME = -1.0f;
    static constexpr uint8_t NO_INDEX = 255;

    // An empty slot of a freshly built table.
    HighscoreEntry();
    // At most 30 characters of name are kept, the rest of it zero-filled; null stays empty.
    HighscoreEntry(float time, uint32_t value, const char* name, uint8_t colour, uint8_t model);

    // What a stored entry must look like: a terminated, zero-filled name, a time
    // that is -1.0 or not negative, and indices that are 0 to 5 or none.
    bool isValid() const;

    float m_time;      // seconds
    uint32_t m_value;  // the championship's tie-break
    char m_name[NAME_SIZE];
    uint8_t m_colour;  // low byte of the rider's colour index
    uint8_t m_model;   // low byte of the rider's moped model index
};
#pragma pack(pop)

static_assert(sizeof(HighscoreEntry) == 41, "highscore.dat stores 41-byte entries");
