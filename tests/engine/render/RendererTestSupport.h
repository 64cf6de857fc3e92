#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "engine/platform/display/FormatDesc.h"
#include "engine/platform/display/RenderDevice.h"
#include "sys/gfx/Adapter.h"
#include "sys/gfx/RecordingDevice.h"
#include "tests/support/TempDir.h"

// A render device as createWindows leaves it, but with one recording device
// and no window, so the renderer can be built without a display.
class RecordingRenderDevice {
public:
    RecordingRenderDevice() {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        m_render = std::make_unique<RenderDevice>();
        m_render->m_adapters.resize(1);
        AdapterInfo& adapter = m_render->m_adapters[0];
        sys::gfx::Adapter::claimedCaps(adapter.m_caps);
        adapter.m_currentMode = {1280, 1024, 60, sys::gfx::FMT_X8R8G8B8};
        adapter.m_renderTargetFormats = {findFormatDesc(sys::gfx::FMT_A8R8G8B8), findFormatDesc(sys::gfx::FMT_R32F)};
        m_render->m_numAdapters = 1;
    }
    ~RecordingRenderDevice() {
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
    }
    AdapterInfo& adapter() { return m_render->m_adapters[0]; }
    DisplaySettings& settings() { return *m_render->m_settings; }
    // The device group, made on first use so that caps and settings can be changed before.
    RenderDevice& device() {
        if (m_render->m_groups.empty()) {
            auto group = std::make_unique<DeviceGroup>();
            sys::gfx::PresentParams params{};
            params.backBufferWidth = settings().m_width;
            params.backBufferHeight = settings().m_height;
            m_recording = new sys::gfx::RecordingDevice(params);
            group->m_device = m_recording;
            group->m_adapterInfo = &adapter();
            m_render->m_groups.push_back(std::move(group));
            m_render->m_numGroups = 1;
        }
        return *m_render;
    }
    sys::gfx::RecordingDevice& recording() { return *m_recording; }

private:
    TempDir m_dir;
    std::unique_ptr<RenderDevice> m_render;
    sys::gfx::RecordingDevice* m_recording = nullptr;
};
