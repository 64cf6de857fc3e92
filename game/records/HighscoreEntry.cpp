#include "game/records/HighscoreEntry.h"

#include <cmath>
#include <cstring>

#include "game/records/RecordBytes.h"

namespace {

constexpr uint8_t MAX_INDEX = 5;

bool isIndex(uint8_t value) { return value <= MAX_INDEX || value == HighscoreEntry::NO_INDEX; }

} // namespace

HighscoreEntry::HighscoreEntry() : HighscoreEntry(EMPTY_TIME, 0, nullptr, NO_INDEX, NO_INDEX) {}

HighscoreEntry::HighscoreEntry(float time, uint32_t value, const char* name, uint8_t colour, uint8_t model)
    : m_time(time), m_value(value), m_colour(colour), m_model(model) {
    std::memset(m_name, 0, sizeof m_name);
    if (name) std::memcpy(m_name, name, strnlen(name, NAME_SIZE - 1));
}

bool HighscoreEntry::isValid() const {
    size_t length = strnlen(m_name, NAME_SIZE);
    if (length == NAME_SIZE) return false;
    for (size_t i = length; i < NAME_SIZE; ++i)
        if (m_name[i] != 0) return false;
    if (std::isnan(m_time) || (m_time < 0.0f && m_time != EMPTY_TIME)) return false;
    return isIndex(m_colour) && isIndex(m_model);
}

void HighscoreEntry::store(uint8_t* out) const {
    RecordBytes::putFloat(out, m_time);
    RecordBytes::putU32(out + 4, m_value);
    std::memcpy(out + 8, m_name, NAME_SIZE);
    out[39] = m_colour;
    out[40] = m_model;
}

void HighscoreEntry::restore(const uint8_t* in) {
    m_time = RecordBytes::getFloat(in);
    m_value = RecordBytes::getU32(in + 4);
    std::memcpy(m_name, in + 8, NAME_SIZE);
    m_colour = in[39];
    m_model = in[40];
}
