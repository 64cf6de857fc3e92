#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/display/AdapterInfo.h"
#include "engine/platform/display/DeviceGroup.h"
#include "engine/platform/display/DisplaySettings.h"
#include "sys/gfx/GfxTypes.h"
#include "sys/window/Window.h"

namespace sys::gfx {
class Adapter;
}

// The program's 3D set-up: the adapters with their usable formats, the
// windows and the device (or devices), their resets and their release.
class RenderDevice {
public:
    RenderDevice();
    ~RenderDevice();

    bool enumerateAdapters(const char* caption, const char* noDirect3DText, const char* noTransformAndLightingText);
    void listDisplayFormats(uint32_t adapter);
    void listTextureFormats(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, bool windowed);
    void listMultisampleTypes(uint32_t adapter, uint32_t deviceType, uint32_t backBufferFormat, bool windowed);
    void listDepthStencilFormats(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                 uint32_t backBufferFormat);
    // The whole set-up chain once, for callers that choose nothing on the way.
    void listFormats();

    // The window procedure stands for the registered window class.
    bool createWindows(const char* windowClass, sys::WindowProc procedure);
    // Resets every device to the stored mode; the last reset's result.
    sys::gfx::HResult resizeWindows();
    void showWindows();
    void shutdown();

    // Correction of a chosen format against the supported entries of the display order.
    static uint32_t correctFormat(uint32_t setting, const std::vector<uint32_t>& supportedIndices);

    std::unique_ptr<sys::gfx::Adapter> m_direct3D;
    int m_numAdapters = 0;
    int m_numGroups = 0;
    std::vector<AdapterInfo> m_adapters;
    std::vector<std::unique_ptr<DeviceGroup>> m_groups;
    std::unique_ptr<DisplaySettings> m_settings;
    int m_stereoMode = 0;
};
