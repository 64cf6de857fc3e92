#include "engine/platform/display/DisplaySettings.h"

#include "sys/settings/Settings.h"

namespace {

// A stored value replaces the default only when it is a DWORD within range.
void readValue(const char* name, uint32_t& field, uint32_t low, uint32_t high) {
    uint32_t value = 0;
    if (sys::Settings::readDword(DisplaySettings::REGISTRY_KEY, name, value) && value >= low && value <= high)
        field = value;
}

} // namespace

DisplaySettings::DisplaySettings() {
    readValue("ResolutionWidth", m_width, 1, MAX_SIDE);
    readValue("ResolutionHeight", m_height, 1, MAX_SIDE);
    readValue("MultisampleType", m_multisampleType, 0, 16);
    readValue("MultisampleQuality", m_multisampleQuality, 0, 0xFFFF);
}
