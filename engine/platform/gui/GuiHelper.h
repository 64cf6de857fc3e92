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
    // "mm:ss:hh" (minutes, seconds, hundredths to the nearest), or "--:--:--" for no time.
    static void formatTime(float seconds, CEGUI::String& out);
    // The time as formatTime shows it, to the nearest hundredth.
    static float shownTime(float seconds);
    // A total of shown times with one more time added as shown, so that a
    // total always reads as the sum of the times shown with it.
    static float addShownTime(float total, float seconds);
};
