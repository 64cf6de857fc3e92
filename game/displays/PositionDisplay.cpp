#include "game/displays/PositionDisplay.h"

PositionDisplay::PositionDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y) {
    create(parent, x, y, label, 130.0f, 3, 16.0f, 30.0f);
    setCell(1, "/");
}

void PositionDisplay::setPosition(int position) {
    if (position == 0) setCell(0, "-");
    else setCellNumber(0, position);
}

void PositionDisplay::setCount(int count) {
    if (count == -1) {
        setCell(1, "");
        setCell(2, "");
        return;
    }
    setCell(1, "/");
    if (count == 0) setCell(2, "-");
    else setCellNumber(2, count);
}
