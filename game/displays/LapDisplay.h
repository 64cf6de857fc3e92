#pragma once
#include "game/displays/TextDisplay.h"

// "lap/laps", or the lap alone in an open race (elimination).
class LapDisplay : public TextDisplay {
public:
    LapDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y);
    void setLap(int lap, int laps, bool open);
};
