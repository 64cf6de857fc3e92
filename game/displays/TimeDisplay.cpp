#include "game/displays/TimeDisplay.h"

#include <cstdint>

namespace {

constexpr float LIMIT = 3600000.0f;
const int DIGITS[6] = {0, 1, 3, 4, 6, 7};

} // namespace

TimeDisplay::TimeDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y) {
    create(parent, x, y, label, 160.0f, 8, 16.0f, 30.0f);
    setCell(2, ":");
    setCell(5, ":");
}

void TimeDisplay::setTime(float seconds) {
    if (!(seconds > 0.0f)) {
        for (int i : DIGITS) setCell(i, "-");
        return;
    }
    if (seconds >= LIMIT) {
        const char* const highest[6] = {"5", "9", "5", "9", "9", "9"};
        for (int k = 0; k < 6; ++k) setCell(DIGITS[k], highest[k]);
        return;
    }
    // Milliseconds of up to a thousand hours do not fit 32 bits.
    const int64_t t = static_cast<int64_t>(static_cast<double>(seconds) * 1000.0);
    const int values[3] = {static_cast<int>(t / 60000 % 60), static_cast<int>(t / 1000 % 60),
                           static_cast<int>(t / 10 % 100)};
    for (int k = 0; k < 3; ++k) {
        setCellNumber(DIGITS[2 * k], values[k] / 10);
        setCellNumber(DIGITS[2 * k + 1], values[k] % 10);
    }
}
