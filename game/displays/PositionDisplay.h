#pragma once
#include "game/displays/TextDisplay.h"

// "position/count", "-" for no position, the count left out for -1.
class PositionDisplay : public TextDisplay {
public:
    PositionDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y);
    void setPosition(int position);
    void setCount(int count);
};
