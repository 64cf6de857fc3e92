#pragma once
#include "game/displays/TextDisplay.h"

// "mm:ss:hh" in eight cells after its label, the minutes running on past the hour.
class TimeDisplay : public TextDisplay {
public:
    TimeDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y);
    // "--:--:--" for no time (0, negative or NaN), "99:59:99" from a hundred minutes on.
    void setTime(float seconds);
};
