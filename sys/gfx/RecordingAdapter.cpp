#include "sys/gfx/RecordingAdapter.h"

#include <cstring>

#include "sys/gfx/RecordingDevice.h"

namespace sys::gfx {

RecordingAdapter::RecordingAdapter() {
    Entry entry{};
    claimedCaps(entry.caps);
    entry.modes = {{640, 480, 60, FMT_X8R8G8B8}, {800, 600, 60, FMT_X8R8G8B8}, {1024, 768, 60, FMT_X8R8G8B8}};
    entry.desktop = {1024, 768, 60, FMT_X8R8G8B8};
    entry.description = "Recording adapter";
    entry.driverHigh = 6 << 16 | 14;
    entry.driverLow = 10 << 16 | 1;
    adapters.push_back(entry);
}

HResult RecordingAdapter::getAdapterIdentifier(uint32_t adapter, uint32_t flags, AdapterIdentifier& identifier) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    std::memset(&identifier, 0, sizeof identifier);
    std::strncpy(identifier.description, adapters[adapter].description.c_str(), sizeof identifier.description - 1);
    identifier.driverVersionHighPart = adapters[adapter].driverHigh;
    identifier.driverVersionLowPart = adapters[adapter].driverLow;
    return GFX_OK;
}

HResult RecordingAdapter::getDeviceCaps(uint32_t adapter, uint32_t type, Caps& caps) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    caps = adapters[adapter].caps;
    caps.deviceType = type;
    return GFX_OK;
}

uint32_t RecordingAdapter::getAdapterModeCount(uint32_t adapter, uint32_t format) const {
    if (adapter >= adapters.size()) return 0;
    uint32_t count = 0;
    for (const DisplayMode& m : adapters[adapter].modes) count += m.format == format;
    return count;
}

HResult RecordingAdapter::enumAdapterModes(uint32_t adapter, uint32_t format, uint32_t mode, DisplayMode& out) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    uint32_t n = 0;
    for (const DisplayMode& m : adapters[adapter].modes) {
        if (m.format != format) continue;
        if (n++ == mode) {
            out = m;
            return GFX_OK;
        }
    }
    return GFXERR_INVALIDCALL;
}

HResult RecordingAdapter::getAdapterDisplayMode(uint32_t adapter, DisplayMode& mode) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    mode = adapters[adapter].desktop;
    return GFX_OK;
}

HResult RecordingAdapter::checkDeviceType(uint32_t adapter, uint32_t type, uint32_t adapterFormat,
                                          uint32_t backBufferFormat, bool windowed) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    if (deviceType) return deviceType(backBufferFormat, windowed);
    return Adapter::checkDeviceType(0, type, adapterFormat, backBufferFormat, windowed);
}

HResult RecordingAdapter::checkDeviceFormat(uint32_t adapter, uint32_t type, uint32_t adapterFormat, uint32_t usage,
                                            uint32_t resourceType, uint32_t format) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    if (deviceFormat) return deviceFormat(usage, resourceType, format);
    return Adapter::checkDeviceFormat(0, type, adapterFormat, usage, resourceType, format);
}

HResult RecordingAdapter::checkDeviceMultiSampleType(uint32_t adapter, uint32_t type, uint32_t format, bool windowed,
                                                     uint32_t sampleType, uint32_t* qualityLevels) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    if (multiSample) return multiSample(format, sampleType, qualityLevels);
    return Adapter::checkDeviceMultiSampleType(0, type, format, windowed, sampleType, qualityLevels);
}

HResult RecordingAdapter::checkDepthStencilMatch(uint32_t adapter, uint32_t type, uint32_t adapterFormat,
                                                 uint32_t renderTargetFormat, uint32_t depthStencilFormat) const {
    if (adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    if (depthMatch) return depthMatch(depthStencilFormat);
    return Adapter::checkDepthStencilMatch(0, type, adapterFormat, renderTargetFormat, depthStencilFormat);
}

HResult RecordingAdapter::createDevice(uint32_t adapter, uint32_t type, void* focusWindow, uint32_t flags,
                                       PresentParams* params, Device** device) {
    ++createCount;
    lastAdapter = adapter;
    lastDeviceType = type;
    lastFlags = flags;
    lastFocusWindow = focusWindow;
    if (params) lastParams = *params;
    if (!params || !device || adapter >= adapters.size()) return GFXERR_INVALIDCALL;
    *device = nullptr;
    if (failingCreates > 0) {
        --failingCreates;
        return failure;
    }
    *device = new RecordingDevice(*params);
    return GFX_OK;
}

} // namespace sys::gfx
