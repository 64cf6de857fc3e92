#include "game/displays/LapDisplay.h"

#include <algorithm>

LapDisplay::LapDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y) {
    create(parent, x, y, label, 130.0f, 3, 16.0f, 30.0f);
    setCell(1, "/");
}

void LapDisplay::setLap(int lap, int laps, bool open) {
    lap = std::max(lap, 1);
    if (!open) {
        lap = std::min(lap, laps);
        setCellNumber(0, lap);
        setCell(1, "/");
        setCellNumber(2, laps);
        return;
    }
    setCell(2, "");
    // Two cells hold the number: laps of an open race beyond 99 show their last two digits.
    lap = std::min(lap, 99);
    if (lap < 10) {
        setCellNumber(0, lap);
        setCell(1, "");
    } else {
        setCellNumber(0, lap / 10);
        setCellNumber(1, lap % 10);
    }
}
