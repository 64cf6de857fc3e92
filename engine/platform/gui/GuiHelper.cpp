#include "engine/platform/gui/GuiHelper.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

CEGUI::UVector2 GuiHelper::toRelative(float x, float y, float width, float height) {
    return CEGUI::UVector2(CEGUI::UDim(width != 0.0f ? x / width : 0.0f, 0.0f),
                           CEGUI::UDim(height != 0.0f ? y / height : 0.0f, 0.0f));
}

namespace {

// A thousand hours: a time from there on is no time a race takes.
constexpr float LONGEST_TIME = 3600000.0f;

} // namespace

void GuiHelper::formatTime(float seconds, CEGUI::String& out) {
    if (!(seconds != 0.0f && seconds < LONGEST_TIME) || std::isnan(seconds) || seconds < 0.0f) {
        out = "--:--:--";
        return;
    }
    // Minutes run on past 59.
    const int64_t hundredths = std::llround(static_cast<double>(seconds) * 100.0);
    char text[32];
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, hundredths / 6000,
                  (hundredths / 100) % 60, hundredths % 100);
    out = text;
}

float GuiHelper::shownTime(float seconds) {
    if (!(std::fabs(seconds) < LONGEST_TIME)) return seconds;
    return static_cast<float>(static_cast<double>(std::llround(static_cast<double>(seconds) * 100.0)) / 100.0);
}

float GuiHelper::addShownTime(float total, float seconds) { return shownTime(total + shownTime(seconds)); }
