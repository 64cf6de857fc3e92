#include "app/menu/DisplayModeRecord.h"

#include <algorithm>

std::vector<DisplayModeRecord> DisplayModeRecord::offered(const std::vector<sys::gfx::DisplayMode>& modes) {
    std::vector<DisplayModeRecord> records;
    for (const sys::gfx::DisplayMode& mode : modes) {
        if (mode.width < MIN_WIDTH || mode.height < MIN_HEIGHT) continue;
        const bool taken = std::any_of(records.begin(), records.end(), [&](const DisplayModeRecord& r) {
            return r.width == mode.width && r.height == mode.height;
        });
        if (!taken) records.push_back({mode.width, mode.height, mode.refreshRate});
    }
    std::sort(records.begin(), records.end(), [](const DisplayModeRecord& a, const DisplayModeRecord& b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });
    return records;
}
