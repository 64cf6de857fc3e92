#pragma once
#include <CEGUI/String.h>
#include <CEGUI/UDim.h>
#include <CEGUI/Vector.h>

// Base of the menu screens and in-race texts: screens are laid out in pixels
// of a 1024 x 768 layout.
class GuiHelper {
public:
    virtual ~GuiHelper() = default;

    // Scales x / width and y / height (0 for a zero divisor), no offsets.
    static CEGUI::UVector2 toRelative(float x, float y, float width, float height);
    // "mm:ss:hh" (minutes, seconds, hundredths), or "--:--:--" for no time.
    static void formatTime(float seconds, CEGUI::String& out);
};
