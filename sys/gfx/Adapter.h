#pragma once
#include <memory>
#include <vector>

#include "sys/gfx/GfxTypes.h"

namespace sys::gfx {

class Device;

// The stand-in for the Direct3D object: one adapter that answers its
// capability and format questions as a typical card with hardware T&L did,
// without needing a device or a window.
class Adapter {
public:
    // The GL adapter; null (with the reason in the log) without a display.
    // A factory installed for tests is asked instead.
    static std::unique_ptr<Adapter> create();
    using Factory = std::unique_ptr<Adapter> (*)();
    static void setFactory(Factory factory);

    virtual ~Adapter() = default;

    virtual uint32_t getAdapterCount() const { return 1; }
    virtual HResult getAdapterIdentifier(uint32_t adapter, uint32_t flags, AdapterIdentifier& identifier) const;
    virtual uintptr_t getAdapterMonitor(uint32_t adapter) const { return adapter + 1; }
    virtual HResult getDeviceCaps(uint32_t adapter, uint32_t deviceType, Caps& caps) const;
    virtual uint32_t getAdapterModeCount(uint32_t adapter, uint32_t format) const;
    virtual HResult enumAdapterModes(uint32_t adapter, uint32_t format, uint32_t mode, DisplayMode& out) const;
    virtual HResult getAdapterDisplayMode(uint32_t adapter, DisplayMode& mode) const;
    virtual HResult checkDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                    uint32_t backBufferFormat, bool windowed) const;
    virtual HResult checkDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                      uint32_t resourceType, uint32_t format) const;
    virtual HResult checkDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType, uint32_t format, bool windowed,
                                               uint32_t type, uint32_t* qualityLevels) const;
    virtual HResult checkDepthStencilMatch(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                           uint32_t renderTargetFormat, uint32_t depthStencilFormat) const;
    // One device at a time; the window is a sys::Window.
    virtual HResult createDevice(uint32_t adapter, uint32_t deviceType, void* focusWindow, uint32_t flags,
                                 PresentParams* params, Device** device) = 0;

    // The capabilities this adapter claims: a typical card with hardware T&L.
    static void claimedCaps(Caps& caps);

protected:
    std::vector<DisplayMode> m_modes;
    DisplayMode m_desktop{1024, 768, 60, FMT_X8R8G8B8};
};

} // namespace sys::gfx
