#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "engine/platform/Report.h"
#include "engine/platform/display/RenderDevice.h"
#include "sys/gfx/RecordingAdapter.h"
#include "sys/gfx/RecordingDevice.h"
#include "sys/window/MessageBox.h"
#include "tests/support/TempDir.h"

using namespace sys::gfx;

namespace {

RecordingAdapter* g_next = nullptr;
std::string g_boxes;

std::unique_ptr<Adapter> takeRecording() {
    std::unique_ptr<Adapter> taken(g_next);
    g_next = nullptr;
    return taken;
}
void catchBox(const char* title, const char* text, unsigned style) { g_boxes += std::string(title) + ": " + text + "\n"; }

class RenderDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        g_next = new RecordingAdapter();
        m_adapter = g_next;
        Adapter::setFactory(takeRecording);
        sys::setMessageBoxSink(catchBox);
        g_boxes.clear();
        g_logStream.close();
        g_logStream.open(m_dir.file("log"));
        m_device = std::make_unique<RenderDevice>();
    }
    void TearDown() override {
        m_device.reset();
        delete g_next;
        g_next = nullptr;
        Adapter::setFactory(nullptr);
        sys::setMessageBoxSink(nullptr);
        g_logStream.close();
        unsetenv("PLIMZOR_SETTINGS");
    }
    std::string log() {
        std::ifstream in(m_dir.file("log"));
        std::stringstream text;
        text << in.rdbuf();
        // The lines as written, without the time each begins with.
        static const std::regex stamp(R"((^|\n)\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
        return std::regex_replace(text.str(), stamp, "$1");
    }
    void useSettings(const std::string& text) {
        setenv("PLIMZOR_SETTINGS", m_dir.write("settings", "[Software\\Quarnholt\\Morvane]\n" + text).c_str(), 1);
    }

    TempDir m_dir;
    RecordingAdapter* m_adapter = nullptr;
    std::unique_ptr<RenderDevice> m_device;
};

} // namespace

TEST_F(RenderDeviceFixture, SettingsDefaultWithoutStoredValues) {
    DisplaySettings s;
    EXPECT_EQ(s.m_width, 1024u);
    EXPECT_EQ(s.m_height, 768u);
    EXPECT_EQ(s.m_windowed, 0);
    EXPECT_EQ(s.m_windowWidth, 960u);
    EXPECT_EQ(s.m_windowHeight, 720u);
    EXPECT_EQ(s.m_multisampleType, 0u);
    EXPECT_EQ(s.m_fixedFunction, 1);
    EXPECT_EQ(s.m_title, "Zelkora 3D Realtime Technology by Quarnholt");
}

TEST_F(RenderDeviceFixture, SettingsTakeDwordsAndRefuseStringsAndDamagedValues) {
    useSettings("ResolutionWidth=\"800\"\nResolutionHeight=dword:00000258\nMultisampleType=dword:00000063\n"
                "MultisampleQuality=dword:00000002\n");
    DisplaySettings s;
    EXPECT_EQ(s.m_width, 1024u);
    EXPECT_EQ(s.m_height, 600u);
    EXPECT_EQ(s.m_multisampleType, 0u);
    EXPECT_EQ(s.m_multisampleQuality, 2u);
}

TEST_F(RenderDeviceFixture, EnumerationLogsAdaptersAndNeedsTransformAndLighting) {
    m_adapter->adapters.push_back(m_adapter->adapters[0]);
    m_adapter->adapters[0].caps.devCaps = 0;
    EXPECT_TRUE(m_device->enumerateAdapters("Error", "no dx", "no tl"));
    EXPECT_EQ(m_device->m_numAdapters, 2);
    // A Windows driver's version number would mean nothing here; the device names its driver once made.
    EXPECT_NE(log().find("Number of Adapters: 2\nAdapter 0: Recording adapter\nAdapter 1: Recording adapter\n"),
              std::string::npos)
        << log();
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(RenderDeviceFixture, EnumerationWithoutTransformAndLightingFails) {
    m_adapter->adapters[0].caps.devCaps = 0;
    EXPECT_FALSE(m_device->enumerateAdapters("Error", "no dx", "no tl"));
    EXPECT_NE(log().find("no hardware t&l available. exiting...\n"), std::string::npos);
    EXPECT_EQ(g_boxes, "Error: no tl\n");
}

TEST_F(RenderDeviceFixture, FormatCorrectionWalksTheDisplayOrder) {
    // Supported back buffers X8R8G8B8 (1) and R5G6B5 (2).
    std::vector<uint32_t> supported = {1, 2};
    EXPECT_EQ(RenderDevice::correctFormat(35, supported), 23u);
    EXPECT_EQ(RenderDevice::correctFormat(21, supported), 22u);
    EXPECT_EQ(RenderDevice::correctFormat(0, supported), 22u);
    EXPECT_EQ(RenderDevice::correctFormat(23, supported), 23u);
    EXPECT_EQ(RenderDevice::correctFormat(22, {}), 0u);
}

TEST_F(RenderDeviceFixture, ListsFormatsAndCorrectsTheSettings) {
    ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
    m_device->m_settings->m_backBufferFormat = 35;
    m_adapter->deviceType = [](uint32_t format, bool) { return format == 22 || format == 23 ? GFX_OK : GFXERR_NOTAVAILABLE; };
    m_device->listFormats();
    const AdapterInfo& info = m_device->m_adapters[0];
    EXPECT_EQ(m_device->m_settings->m_displayFormat, 22u);
    EXPECT_EQ(m_device->m_settings->m_backBufferFormat, 23u);
    EXPECT_EQ(info.m_backBufferFormats, (std::vector<uint32_t>{1, 2}));
    ASSERT_EQ(info.m_depthStencilFormats.size(), 3u);
    EXPECT_TRUE(info.m_dmapFormats.empty());
    EXPECT_FALSE(info.m_textureFormats.empty());
    EXPECT_EQ(info.m_multisampleTypes, (std::vector<uint32_t>{2, 4}));
}

TEST_F(RenderDeviceFixture, MultisampleSettingFallsToTheSupportedTypes) {
    ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
    m_adapter->multiSample = [](uint32_t, uint32_t type, uint32_t* q) {
        if (type == 1 && q) *q = 3;
        return type == 2 || type == 4 || type == 1 ? GFX_OK : GFXERR_NOTAVAILABLE;
    };
    m_device->m_settings->m_multisampleType = 6;
    m_device->m_settings->m_multisampleQuality = 3;
    m_device->listMultisampleTypes(0, DEVTYPE_HAL, 22, true);
    EXPECT_EQ(m_device->m_settings->m_multisampleType, 4u);
    EXPECT_EQ(m_device->m_settings->m_multisampleQuality, 0u);
    m_device->m_settings->m_multisampleType = 1;
    m_device->m_settings->m_multisampleQuality = 5;
    m_device->listMultisampleTypes(0, DEVTYPE_HAL, 22, true);
    EXPECT_EQ(m_device->m_settings->m_multisampleType, 1u);
    EXPECT_EQ(m_device->m_settings->m_multisampleQuality, 2u);
}

TEST_F(RenderDeviceFixture, BehaviourFlagsFollowShaderVersionAndSettings) {
    DisplaySettings s;
    Caps caps{};
    caps.vertexShaderVersion = 0xFFFE0100;
    EXPECT_EQ(DeviceGroup::behaviourFlags(caps, s, 1), 0x84u);
    caps.vertexShaderVersion = 0xFFFE0200;
    EXPECT_EQ(DeviceGroup::behaviourFlags(caps, s, 1), 0x44u);
    s.m_softwareVertexProcessing = 1;
    EXPECT_EQ(DeviceGroup::behaviourFlags(caps, s, 1), 0x24u);
    s.m_pureDevice = 1;
    EXPECT_EQ(DeviceGroup::behaviourFlags(caps, s, 1), 0x54u);
}

TEST_F(RenderDeviceFixture, CreateWindowsWithoutTransformAndLightingShowsTheBox) {
    ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
    m_device->m_adapters[0].m_caps.devCaps = 0;
    EXPECT_FALSE(m_device->createWindows("Zelkora", nullptr));
    EXPECT_NE(g_boxes.find("does not support transformation and lighting"), std::string::npos);
    EXPECT_TRUE(m_device->m_groups[0]->m_windows.empty());
}

TEST_F(RenderDeviceFixture, DeviceCreationRetriesOnceAndLogsBothAttempts) {
    ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
    m_device->m_settings->m_windowed = 1;
    m_device->listFormats();
    m_adapter->failingCreates = 1;
    ASSERT_TRUE(m_device->createWindows("Zelkora", nullptr));
    std::string text = log();
    EXPECT_NE(text.find("trying to create the d3d device for adapter 0... failed! (-2005530518)\n"
                        "CreateDevice first attempt failed, starting second attempt... succeeded!\n"),
              std::string::npos);
    EXPECT_EQ(m_adapter->createCount, 2u);
    EXPECT_EQ(m_adapter->lastFlags, 0x44u);
    EXPECT_EQ(m_adapter->lastParams.backBufferWidth, 0u);
    EXPECT_EQ(m_adapter->lastParams.windowed, 1);
    EXPECT_EQ(m_adapter->lastParams.autoDepthStencilFormat, uint32_t(FMT_D24S8));
    EXPECT_EQ(m_adapter->lastParams.flags, 2u);
}

TEST_F(RenderDeviceFixture, TwoFailedCreationsEndWithTheBox) {
    ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
    m_device->listFormats();
    m_adapter->failingCreates = 2;
    EXPECT_FALSE(m_device->createWindows("Zelkora", nullptr));
    EXPECT_NE(log().find("CreateDevice failed... exiting...\n"), std::string::npos);
    // German first, then English, as every start-up box.
    EXPECT_EQ(g_boxes.rfind("Error: Das 3D-Gerät ließ sich nicht erzeugen. Das Spiel braucht einen OpenGL-Treiber", 0), 0u)
        << g_boxes;
    EXPECT_NE(g_boxes.find("\n\nThe 3D device could not be made. The game needs an OpenGL driver"), std::string::npos)
        << g_boxes;
}

TEST_F(RenderDeviceFixture, ResizeResetsTheDeviceWithTheStoredMode) {
    ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
    m_device->listFormats();
    ASSERT_TRUE(m_device->createWindows("Zelkora", nullptr));
    DeviceGroup& group = *m_device->m_groups[0];
    group.m_presentParams[0].backBufferWidth = 800;
    group.m_presentParams[0].backBufferHeight = 600;
    EXPECT_EQ(m_device->resizeWindows(), GFX_OK);
    auto* recording = static_cast<RecordingDevice*>(group.m_device);
    EXPECT_EQ(recording->calls().back(), "reset 800 600 21 0 0");
    EXPECT_EQ(recording->presentParams().backBufferWidth, 800u);
}

namespace {
std::unique_ptr<Adapter> noAdapter() { return nullptr; }
} // namespace

TEST_F(RenderDeviceFixture, WithoutADisplayEnumerationShowsTheFirstTextAndFails) {
    Adapter::setFactory(noAdapter);
    EXPECT_FALSE(m_device->enumerateAdapters("Error", "needs DirectX 9.0c", "needs T&L"));
    EXPECT_EQ(g_boxes, "Error: needs DirectX 9.0c\n");
    EXPECT_FALSE(m_device->createWindows("Zelkora", nullptr));
}
