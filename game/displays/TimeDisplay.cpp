#include "game/displays/TimeDisplay.h"

namespace {

// The row has two minute cells: from a hundred minutes on it shows its highest time.
constexpr float LIMIT = 6000.0f;

} // namespace

TimeDisplay::TimeDisplay(CEGUI::Window* parent, const CEGUI::String& label, float x, float y) {
    create(parent, x, y, label, 160.0f, 8, 16.0f, 30.0f);
    setCell(2, ":");
    setCell(5, ":");
}

void TimeDisplay::setTime(float seconds) {
    // The result tables' text, so the panel and the result agree to the hundredth.
    CEGUI::String text = "99:59:99";
    if (!(shownTime(seconds) >= LIMIT)) formatTime(seconds, text);
    for (size_t i = 0; i < text.size() && i < size_t(m_cellCount); ++i)
        if (text[i] != ':') setCell(int(i), text.substr(i, 1));
}
