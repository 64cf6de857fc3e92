#pragma once
#include <functional>
#include <string>
#include <vector>

#include "sys/gfx/Adapter.h"

namespace sys::gfx {

// An adapter for tests: as many adapters as configured, each with its own caps
// and modes; format answers can be replaced; devices are recording devices.
class RecordingAdapter : public Adapter {
public:
    struct Entry {
        Caps caps;
        std::vector<DisplayMode> modes;
        DisplayMode desktop;
        std::string description;
        uint32_t driverHigh, driverLow;
    };
    // One adapter answering as the real one does.
    RecordingAdapter();

    std::vector<Entry> adapters;
    std::function<HResult(uint32_t backBufferFormat, bool windowed)> deviceType;
    std::function<HResult(uint32_t usage, uint32_t resourceType, uint32_t format)> deviceFormat;
    std::function<HResult(uint32_t format, uint32_t type, uint32_t* qualityLevels)> multiSample;
    std::function<HResult(uint32_t depthStencilFormat)> depthMatch;
    // The next this many createDevice calls fail with `failure`.
    int failingCreates = 0;
    HResult failure = GFXERR_NOTAVAILABLE;
    // What the last createDevice was given.
    uint32_t createCount = 0;
    uint32_t lastAdapter = 0, lastDeviceType = 0, lastFlags = 0;
    void* lastFocusWindow = nullptr;
    PresentParams lastParams{};

    uint32_t getAdapterCount() const override { return uint32_t(adapters.size()); }
    HResult getAdapterIdentifier(uint32_t adapter, uint32_t flags, AdapterIdentifier& identifier) const override;
    HResult getDeviceCaps(uint32_t adapter, uint32_t deviceType, Caps& caps) const override;
    uint32_t getAdapterModeCount(uint32_t adapter, uint32_t format) const override;
    HResult enumAdapterModes(uint32_t adapter, uint32_t format, uint32_t mode, DisplayMode& out) const override;
    HResult getAdapterDisplayMode(uint32_t adapter, DisplayMode& mode) const override;
    HResult checkDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t backBufferFormat,
                            bool windowed) const override;
    HResult checkDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                              uint32_t resourceType, uint32_t format) const override;
    HResult checkDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType, uint32_t format, bool windowed,
                                       uint32_t type, uint32_t* qualityLevels) const override;
    HResult checkDepthStencilMatch(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                   uint32_t renderTargetFormat, uint32_t depthStencilFormat) const override;
    HResult createDevice(uint32_t adapter, uint32_t deviceType, void* focusWindow, uint32_t flags,
                         PresentParams* params, Device** device) override;
};

} // namespace sys::gfx
