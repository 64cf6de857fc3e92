#include "engine/platform/display/RenderDevice.h"

#include <algorithm>

#include "engine/platform/Report.h"
#include "engine/platform/display/DisplaySetup.h"
#include "sys/gfx/Adapter.h"
#include "sys/gfx/Device.h"
#include "sys/log/SystemLog.h"
#include "sys/window/MessageBox.h"

using namespace sys::gfx;

const uint32_t g_displayFormatOrder[DISPLAY_FORMAT_COUNT] = {21, 22, 23, 24, 25, 35};

namespace {

bool listed(const std::vector<uint32_t>& indices, uint32_t index) {
    return std::find(indices.begin(), indices.end(), index) != indices.end();
}

// What the device needs of the driver (GlDevice::create); the detail of a failure is in the log.
const char* const NO_DEVICE_TEXT =
    "Das 3D-Gerät ließ sich nicht erzeugen. Das Spiel braucht einen OpenGL-Treiber mit Framebuffer-Objekten und "
    "Clip-Control (OpenGL 4.5, oder GL_ARB_framebuffer_object und GL_ARB_clip_control).\nBitte installieren Sie den "
    "aktuellen Treiber Ihrer Grafikkarte und starten Sie das Programm erneut.\n\n"
    "The 3D device could not be made. The game needs an OpenGL driver with framebuffer objects and clip control "
    "(OpenGL 4.5, or GL_ARB_framebuffer_object and GL_ARB_clip_control).\nPlease install your graphics adapter's "
    "current driver and start the program again.";

void errorBox(const char* text, const char* caption = "Error") { sys::showMessageBox(caption, text, sys::MB_ICON_ERROR); }

} // namespace

RenderDevice::RenderDevice() : m_settings(std::make_unique<DisplaySettings>()) {
    // From the video's start on, the system's lines (no display, X errors) go to the log.
    sys::setLogSink([](const std::string& line) { g_logStream << line << std::endl; });
}

RenderDevice::~RenderDevice() { shutdown(); }

bool RenderDevice::enumerateAdapters(const char* caption, const char* noDirect3DText,
                                     const char* noTransformAndLightingText) {
    m_direct3D = Adapter::create();
    if (!m_direct3D) {
        errorBox(noDirect3DText, caption);
        return false;
    }
    m_numAdapters = int(m_direct3D->getAdapterCount());
    m_adapters.assign(size_t(m_numAdapters), AdapterInfo{});
    g_logStream << "Number of Adapters: " << m_numAdapters << std::endl;
    bool anyTransformAndLighting = false;
    for (int i = 0; i < m_numAdapters; ++i) {
        AdapterInfo& info = m_adapters[size_t(i)];
        uint32_t a = uint32_t(i);
        m_direct3D->getAdapterIdentifier(a, 0, info.m_identifier);
        g_logStream << "Adapter " << i << ": " << info.m_identifier.description << std::endl;
        info.m_monitor = m_direct3D->getAdapterMonitor(a);
        m_direct3D->getDeviceCaps(a, DEVTYPE_HAL, info.m_caps);
        uint32_t modes = m_direct3D->getAdapterModeCount(a, FMT_X8R8G8B8);
        info.m_modes.assign(modes, DisplayMode{});
        for (uint32_t m = 0; m < modes; ++m) m_direct3D->enumAdapterModes(a, FMT_X8R8G8B8, m, info.m_modes[m]);
        m_direct3D->getAdapterDisplayMode(a, info.m_currentMode);
        if (info.m_caps.devCaps & DEVCAPS_HWTRANSFORMANDLIGHT) anyTransformAndLighting = true;
        if (info.m_caps.adapterOrdinalInGroup > 0 && info.m_caps.masterAdapterOrdinal < uint32_t(m_numAdapters))
            info.m_master = &m_adapters[info.m_caps.masterAdapterOrdinal];
    }
    if (!anyTransformAndLighting) {
        g_logStream << "no hardware t&l available. exiting..." << std::endl;
        errorBox(noTransformAndLightingText, caption);
        return false;
    }
    return true;
}

uint32_t RenderDevice::correctFormat(uint32_t setting, const std::vector<uint32_t>& supported) {
    uint32_t latest = 0;
    for (uint32_t k = 0; k < DISPLAY_FORMAT_COUNT; ++k) {
        uint32_t format = g_displayFormatOrder[k];
        bool ok = listed(supported, k);
        if (ok) latest = format;
        if (ok && setting == 0) return format;
        if (format == setting) {
            if (latest) return latest;
            setting = 0;
        }
    }
    return latest;
}

void RenderDevice::listDisplayFormats(uint32_t adapter) {
    if (adapter >= m_adapters.size()) return;
    AdapterInfo& info = m_adapters[adapter];
    info.m_displayFormats.clear();
    for (uint32_t k = 0; k < DISPLAY_FORMAT_COUNT; ++k) {
        bool any = std::any_of(info.m_modes.begin(), info.m_modes.end(),
                               [k](const DisplayMode& m) { return m.format == g_displayFormatOrder[k]; });
        if (any) info.m_displayFormats.push_back(k);
    }
    m_settings->m_displayFormat = correctFormat(m_settings->m_displayFormat, info.m_displayFormats);
}

void RenderDevice::listTextureFormats(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, bool windowed) {
    if (adapter >= m_adapters.size() || !m_direct3D) return;
    AdapterInfo& info = m_adapters[adapter];
    info.m_backBufferFormats.clear();
    std::vector<uint32_t> exact;
    for (uint32_t k = 0; k < DISPLAY_FORMAT_COUNT; ++k) {
        HResult r = m_direct3D->checkDeviceType(adapter, deviceType, adapterFormat, g_displayFormatOrder[k], windowed);
        if (r >= 0) info.m_backBufferFormats.push_back(k);
        if (r == GFX_OK) exact.push_back(k);
    }
    m_settings->m_backBufferFormat = correctFormat(m_settings->m_backBufferFormat, exact);

    bool dmaps = (info.m_caps.devCaps2 & 0xFF & 0x22) != 0;
    for (auto* list : {&info.m_textureFormats, &info.m_renderTargetFormats, &info.m_dmapFormats, &info.m_cubeFormats,
                       &info.m_renderTargetCubeFormats, &info.m_volumeFormats})
        list->clear();
    auto check = [&](uint32_t usage, uint32_t type, const FormatDesc& row) {
        return m_direct3D->checkDeviceFormat(adapter, deviceType, adapterFormat, usage, type, row.format) >= 0;
    };
    for (const FormatDesc& row : g_formatDescs) {
        uint32_t targetUsage = (row.flags & 0x2) ? USAGE_DEPTHSTENCIL : USAGE_RENDERTARGET;
        if (check(0, RTYPE_TEXTURE, row)) info.m_textureFormats.push_back(&row);
        if (check(targetUsage, RTYPE_TEXTURE, row)) info.m_renderTargetFormats.push_back(&row);
        if (dmaps && check(USAGE_DMAP, RTYPE_TEXTURE, row)) info.m_dmapFormats.push_back(&row);
        if (check(0, RTYPE_CUBETEXTURE, row)) info.m_cubeFormats.push_back(&row);
        if (check(targetUsage, RTYPE_CUBETEXTURE, row)) info.m_renderTargetCubeFormats.push_back(&row);
        if (check(0, RTYPE_VOLUMETEXTURE, row)) info.m_volumeFormats.push_back(&row);
    }
}

void RenderDevice::listMultisampleTypes(uint32_t adapter, uint32_t deviceType, uint32_t backBufferFormat,
                                        bool windowed) {
    if (adapter >= m_adapters.size() || !m_direct3D) return;
    AdapterInfo& info = m_adapters[adapter];
    info.m_multisampleTypes.clear();
    for (uint32_t t = 2; t <= 16; ++t)
        if (m_direct3D->checkDeviceMultiSampleType(adapter, deviceType, backBufferFormat, windowed, t, nullptr) == GFX_OK)
            info.m_multisampleTypes.push_back(t);
    uint32_t qualities = 0;
    if (m_direct3D->checkDeviceMultiSampleType(adapter, deviceType, backBufferFormat, windowed,
                                               MULTISAMPLE_NONMASKABLE, &qualities) < 0)
        qualities = 0;
    info.m_nonMaskableQualities = qualities;

    uint32_t& type = m_settings->m_multisampleType;
    uint32_t& quality = m_settings->m_multisampleQuality;
    auto largestUpTo = [&](uint32_t limit) {
        uint32_t best = 0;
        for (uint32_t t : info.m_multisampleTypes)
            if (t <= limit) best = std::max(best, t);
        return best;
    };
    if (type == 0) {
        quality = 0;
    } else if (type >= 2 && type <= 16) {
        type = largestUpTo(type);
        quality = 0;
    } else if (qualities > 0) {
        type = MULTISAMPLE_NONMASKABLE;
        if (quality >= qualities) quality = qualities - 1;
    } else {
        type = largestUpTo(16);
        quality = 0;
    }
}

void RenderDevice::listDepthStencilFormats(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                           uint32_t backBufferFormat) {
    if (adapter >= m_adapters.size() || !m_direct3D) return;
    AdapterInfo& info = m_adapters[adapter];
    info.m_depthStencilFormats.clear();
    for (const FormatDesc& row : g_formatDescs) {
        if (!(row.flags & 0x2)) continue;
        if (m_direct3D->checkDeviceFormat(adapter, deviceType, adapterFormat, USAGE_DEPTHSTENCIL, RTYPE_SURFACE,
                                          row.format) >= 0 &&
            m_direct3D->checkDepthStencilMatch(adapter, deviceType, adapterFormat, backBufferFormat, row.format) >= 0)
            info.m_depthStencilFormats.push_back(&row);
    }
}

void RenderDevice::listFormats() { Setup(this).run(0); }

bool RenderDevice::createWindows(const char* windowClass, sys::WindowProc procedure) {
    DisplaySettings& s = *m_settings;
    m_numGroups = m_stereoMode == 4 ? 2 : 1;
    if (m_stereoMode == 4 && !s.m_windowed && m_numAdapters < 2) {
        errorBox("For fullscreen stereo two adapters are required.");
        return false;
    }
    if (m_numAdapters <= 0 || !m_direct3D) {
        errorBox(NO_DEVICE_TEXT);
        return false;
    }
    for (int g = 0; g < m_numGroups; ++g) {
        auto group = std::make_unique<DeviceGroup>();
        group->m_adapter = (s.m_adapter + uint32_t(g)) % uint32_t(m_numAdapters);
        group->m_adapterInfo = &m_adapters[group->m_adapter];
        if (m_stereoMode == 3 && group->m_adapterInfo->m_caps.numberOfAdaptersInGroup == 0 &&
            group->m_adapterInfo->m_caps.masterAdapterOrdinal < uint32_t(m_numAdapters)) {
            group->m_adapter = group->m_adapterInfo->m_caps.masterAdapterOrdinal;
            group->m_adapterInfo = &m_adapters[group->m_adapter];
        }
        group->m_deviceType = s.m_referenceDevice ? DEVTYPE_REF : DEVTYPE_HAL;
        bool hardware = group->m_adapterInfo->m_caps.devCaps & DEVCAPS_HWTRANSFORMANDLIGHT;
        m_groups.push_back(std::move(group));
        if (!hardware) {
            errorBox("The selected video adapter\ndoes not support transformation and lighting in\nhardware, which "
                     "is a requirement by this application.");
            return false;
        }
    }
    if (m_stereoMode == 3 && m_groups[0]->m_adapterInfo->m_caps.numberOfAdaptersInGroup == 1) {
        errorBox("For dualhead stereo support two monitors are required to be connected to the adapter.\nPlease "
                 "refer to the manual on how to set up your system appropriately.");
        return false;
    }
    for (int g = 0; g < m_numGroups; ++g) {
        DeviceGroup& group = *m_groups[size_t(g)];
        group.m_numHeads = m_stereoMode == 3 ? std::max(1u, group.m_adapterInfo->m_caps.numberOfAdaptersInGroup) : 1;
        for (uint32_t h = 0; h < group.m_numHeads; ++h)
            group.m_windows.push_back(sys::Window::create(s.m_title.c_str(), int(s.m_windowWidth) * g, 0,
                                                          int(s.m_windowWidth), int(s.m_windowHeight), procedure));
    }
    for (auto& group : m_groups) {
        if (!group->createDevice(*m_direct3D, s)) {
            errorBox(NO_DEVICE_TEXT);
            return false;
        }
    }
    // The x87 precision switch of the original has nothing to do here: doubles stay doubles.
    return true;
}

HResult RenderDevice::resizeWindows() {
    HResult result = GFX_OK;
    DisplaySettings& s = *m_settings;
    for (auto& group : m_groups) {
        if (!group->m_device || group->m_presentParams.empty()) continue;
        result = group->m_device->reset(group->m_presentParams[0]);
        if (group->m_windows.empty() || !group->m_windows[0]) continue;
        // Full screen the device has covered the display; a window keeps its place.
        if (s.m_windowed) group->m_windows[0]->setClientSize(int(s.m_width), int(s.m_height));
    }
    return result;
}

void RenderDevice::showWindows() {
    for (auto& group : m_groups)
        for (auto& window : group->m_windows)
            if (window) window->show(false);
}

void RenderDevice::shutdown() {
    m_groups.clear();
    m_adapters.clear();
    m_numAdapters = 0;
    m_numGroups = 0;
    m_direct3D.reset();
}
