#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/display/AdapterInfo.h"
#include "sys/gfx/GfxTypes.h"

namespace sys {
class Window;
namespace gfx {
class Adapter;
class Device;
}
}
class DisplaySettings;

// One 3D device with its heads: presentation parameters and a window per head.
class DeviceGroup {
public:
    DeviceGroup() = default;
    ~DeviceGroup();
    DeviceGroup(const DeviceGroup&) = delete;
    DeviceGroup& operator=(const DeviceGroup&) = delete;

    bool createDevice(sys::gfx::Adapter& direct3D, const DisplaySettings& settings);
    // The behaviour flags a device on this adapter is created with.
    static uint32_t behaviourFlags(const sys::gfx::Caps& caps, const DisplaySettings& settings, uint32_t numHeads);

    std::vector<sys::gfx::PresentParams> m_presentParams;
    sys::gfx::Device* m_device = nullptr;
    std::vector<std::unique_ptr<sys::Window>> m_windows;
    AdapterInfo* m_adapterInfo = nullptr;
    uint32_t m_adapter = 0;
    uint32_t m_numHeads = 1;
    uint32_t m_deviceType = sys::gfx::DEVTYPE_HAL;
    const FormatDesc* m_autoDepthStencilDesc = nullptr;
};
