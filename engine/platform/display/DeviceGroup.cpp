#include "engine/platform/display/DeviceGroup.h"

#include "engine/platform/Report.h"
#include "engine/platform/display/DisplaySettings.h"
#include "engine/platform/display/FormatRequest.h"
#include "sys/gfx/Adapter.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"

using namespace sys::gfx;

namespace {

const FormatDesc* chooseDepthStencil(const AdapterInfo& info) {
    FormatRequest request;
    request.m_minimum[1] = 15;
    request.m_weight[0] = 8;
    request.m_weight[1] = 0x20018;
    for (uint32_t& m : request.m_maximum) m = 0x20220;
    request.m_requiredFlags = 2;
    request.m_allowedFlags = 7;
    request.m_preferredFlags = {4};
    return request.chooseBest(info.m_depthStencilFormats);
}

} // namespace

DeviceGroup::~DeviceGroup() {
    delete m_device;
    m_windows.clear();
    // Whatever the windows still had queued goes nowhere now.
    sys::pumpMessages();
}

uint32_t DeviceGroup::behaviourFlags(const Caps& caps, const DisplaySettings& settings, uint32_t numHeads) {
    uint32_t flags = (caps.vertexShaderVersion & 0xFFFF) < 0x0101 ? CREATE_MIXED_VERTEXPROCESSING
                                                                   : CREATE_HARDWARE_VERTEXPROCESSING;
    if (settings.m_softwareVertexProcessing) flags = CREATE_SOFTWARE_VERTEXPROCESSING;
    if (settings.m_pureDevice) flags = CREATE_HARDWARE_VERTEXPROCESSING | CREATE_PUREDEVICE;
    flags |= CREATE_MULTITHREADED;
    if (numHeads > 1) flags |= CREATE_ADAPTERGROUP_DEVICE;
    return flags;
}

bool DeviceGroup::createDevice(Adapter& direct3D, const DisplaySettings& settings) {
    m_presentParams.assign(m_numHeads, PresentParams{});
    for (uint32_t h = 0; h < m_numHeads; ++h) {
        PresentParams& p = m_presentParams[h];
        p.backBufferCount = 2;
        p.swapEffect = SWAPEFFECT_DISCARD;
        p.multiSampleType = settings.m_multisampleType;
        p.multiSampleQuality = settings.m_multisampleQuality;
        p.presentationInterval = settings.m_waitForVerticalBlank ? PRESENT_INTERVAL_DEFAULT : PRESENT_INTERVAL_IMMEDIATE;
        p.deviceWindow = h < m_windows.size() ? m_windows[h].get() : nullptr;
        m_autoDepthStencilDesc = m_adapterInfo ? chooseDepthStencil(*m_adapterInfo) : nullptr;
        ENGINE_ASSERT(m_autoDepthStencilDesc != 0 && "device does not support depth/stencil?");
        p.enableAutoDepthStencil = m_autoDepthStencilDesc != nullptr;
        p.autoDepthStencilFormat = m_autoDepthStencilDesc ? m_autoDepthStencilDesc->format : 0;
        p.flags = PRESENTFLAG_DISCARD_DEPTHSTENCIL;
        p.backBufferFormat = settings.m_backBufferFormat;
        if (!settings.m_windowed) {
            p.windowed = 0;
            p.backBufferWidth = settings.m_width;
            p.backBufferHeight = settings.m_height;
            p.fullScreenRefreshRateInHz = 0;
        } else {
            ENGINE_ASSERT(m_numHeads == 1);
            p.windowed = 1;
            p.backBufferWidth = 0;
            p.backBufferHeight = 0;
        }
    }
    uint32_t flags = behaviourFlags(m_adapterInfo ? m_adapterInfo->m_caps : Caps{}, settings, m_numHeads);
    void* focus = m_windows.empty() ? nullptr : m_windows[0].get();
    g_logStream << "trying to create the d3d device for adapter " << m_adapter << "... ";
    HResult result = direct3D.createDevice(m_adapter, m_deviceType, focus, flags, m_presentParams.data(), &m_device);
    if (result != GFX_OK) {
        g_logStream << "failed! (" << result << ")" << std::endl;
        g_logStream << "CreateDevice first attempt failed, starting second attempt... ";
        result = direct3D.createDevice(m_adapter, m_deviceType, focus, flags, m_presentParams.data(), &m_device);
        if (result != GFX_OK) {
            g_logStream << "failed! (" << result << ")" << std::endl;
            g_logStream << "CreateDevice failed... exiting..." << std::endl;
            return false;
        }
    }
    g_logStream << "succeeded!" << std::endl;
    const std::string driver = m_device->driverText();
    if (!driver.empty()) g_logStream << "  " << driver << std::endl;
    return true;
}
