#include "engine/platform/gui/GuiHelper.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

CEGUI::UVector2 GuiHelper::toRelative(float x, float y, float width, float height) {
    return CEGUI::UVector2(CEGUI::UDim(width != 0.0f ? x / width : 0.0f, 0.0f),
                           CEGUI::UDim(height != 0.0f ? y / height : 0.0f, 0.0f));
}

void GuiHelper::formatTime(float seconds, CEGUI::String& out) {
    if (!(seconds != 0.0f && seconds < 3600000.0f) || std::isnan(seconds) || seconds < 0.0f) {
        out = "--:--:--";
        return;
    }
    // Milliseconds of up to 1000 hours overflow 32 bits; minutes run on past 59.
    const int64_t ms = static_cast<int64_t>(static_cast<double>(seconds) * 1000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, ms / 60000, (ms / 1000) % 60,
                  (ms / 10) % 100);
    out = text;
}
