#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/display/AdapterInfo.h"
#include "sys/gfx/GfxTypes.h"

namespace sys::gfx {
class Device;
}

// What textures, the loading frame and the GUI read of the renderer: its
// devices (one per display head, entry 0 builds every texture), the one
// calls go to now, its caps and formats. The renderer derives from it.
class DeviceList {
public:
    virtual ~DeviceList() = default;

    // Not owned: the devices belong to their device groups.
    std::vector<sys::gfx::Device*> m_devices;
    int32_t m_currentDeviceIndex = 0;
    sys::gfx::Device* m_currentDevice = nullptr;
    // The format tables capability scoring searches; not owned.
    AdapterInfo* m_adapter = nullptr;
    sys::gfx::Caps m_activeCaps{};
    int32_t m_backBufferWidth = 0;
    int32_t m_backBufferHeight = 0;
    int32_t m_stereoMode = 0;
    // 0 or negative: image textures are 2^-shift times smaller on each side.
    int32_t m_textureSizeShift = 0;
};
