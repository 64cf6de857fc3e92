#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/display/FormatDesc.h"
#include "sys/gfx/GfxTypes.h"

// What one display adapter offers: identity, caps, modes and the usable
// format and multisample lists the device set-up chooses from.
struct AdapterInfo {
    sys::gfx::AdapterIdentifier m_identifier{};
    uintptr_t m_monitor = 0;
    sys::gfx::Caps m_caps{};
    std::vector<sys::gfx::DisplayMode> m_modes;
    sys::gfx::DisplayMode m_currentMode{};
    AdapterInfo* m_master = nullptr;
    std::vector<uint32_t> m_displayFormats;
    std::vector<uint32_t> m_backBufferFormats;
    std::vector<uint32_t> m_multisampleTypes;
    uint32_t m_nonMaskableQualities = 0;
    std::vector<const FormatDesc*> m_textureFormats;
    std::vector<const FormatDesc*> m_renderTargetFormats;
    std::vector<const FormatDesc*> m_dmapFormats;
    std::vector<const FormatDesc*> m_cubeFormats;
    std::vector<const FormatDesc*> m_renderTargetCubeFormats;
    std::vector<const FormatDesc*> m_volumeFormats;
    std::vector<const FormatDesc*> m_depthStencilFormats;
};

constexpr uint32_t DISPLAY_FORMAT_COUNT = 6;
// Display and back-buffer formats in the order of preference.
extern const uint32_t g_displayFormatOrder[DISPLAY_FORMAT_COUNT];
