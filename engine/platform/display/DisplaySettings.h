#pragma once
#include <cstdint>
#include <string>

// The display set-up the device is created with: defaults, then the values
// stored under the game's registry key.
class DisplaySettings {
public:
    DisplaySettings();

    uint32_t m_width = 1024;
    uint32_t m_height = 768;
    uint8_t m_windowed = 0;
    uint32_t m_windowWidth = 960;
    uint32_t m_windowHeight = 720;
    uint8_t m_softwareVertexProcessing = 0;
    uint8_t m_pureDevice = 0;
    uint8_t m_referenceDevice = 0;
    uint8_t m_extraFlag = 0;
    uint8_t m_fixedFunction = 1;
    // Presenting waits for the vertical blank; timed runs turn it off.
    uint8_t m_waitForVerticalBlank = 1;
    uint32_t m_displayFormat = 0;
    uint32_t m_backBufferFormat = 0;
    uint32_t m_multisampleType = 0;
    uint32_t m_multisampleQuality = 0;
    uint32_t m_adapter = 0;
    std::string m_title = "Zelkora 3D Realtime Technology by Quarnholt";

    static constexpr const char* REGISTRY_KEY = "Software\\Quarnholt\\Morvane";
    // Larger stored resolutions are damaged values, not modes.
    static constexpr uint32_t MAX_SIDE = 16384;
};
