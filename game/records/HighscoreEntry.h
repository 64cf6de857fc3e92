#pragma once
#include <cstdint>

// One entry of a high-score row; "highscore.dat" stores it in 41 bytes:
// time at 0, value at 4, name at 8, colour at 39, model at 40, little endian.
struct HighscoreEntry {
    static constexpr uint32_t NAME_SIZE = 31; // 30 characters and the terminator
    static constexpr uint32_t STORED_SIZE = 41;
    static constexpr float EMPTY_TIME = -1.0f;
    static constexpr uint8_t NO_INDEX = 255;

    // An empty slot of a freshly built table.
    HighscoreEntry();
    // At most 30 characters of name are kept, the rest of it zero-filled; null stays empty.
    HighscoreEntry(float time, uint32_t value, const char* name, uint8_t colour, uint8_t model);

    // What a stored entry must look like: a terminated, zero-filled name, a time
    // that is -1.0 or not negative, and indices that are 0 to 5 or none.
    bool isValid() const;

    void store(uint8_t* out) const;
    void restore(const uint8_t* in);

    float m_time;      // seconds
    uint32_t m_value;  // the championship's tie-break
    char m_name[NAME_SIZE];
    uint8_t m_colour;  // low byte of the rider's colour index
    uint8_t m_model;   // low byte of the rider's moped model index
};
