#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/platform/display/DisplaySetup.h"
#include "engine/platform/display/RenderDevice.h"
#include "sys/gfx/RecordingAdapter.h"
#include "sys/window/MessageBox.h"
#include "tests/support/TempDir.h"

using namespace sys::gfx;

namespace {

// Writes down each step of the chain and still does it.
class RecordingSetup : public Setup {
public:
    using Setup::Setup;
    void onFinished() override { steps.push_back("finished"); }
    void selectFormat(uint32_t format) override { steps.push_back("select " + std::to_string(format)); }
    void enumerateFormats() override {
        steps.push_back("formats");
        Setup::enumerateFormats();
    }
    void enumerateModes() override {
        steps.push_back("modes");
        Setup::enumerateModes();
    }
    void enumerateMultisampleTypes() override {
        steps.push_back("multisample");
        Setup::enumerateMultisampleTypes();
    }
    void enumerateDepthStencilFormats() override {
        steps.push_back("depth");
        Setup::enumerateDepthStencilFormats();
    }
    std::vector<std::string> steps;
};

// Notes the device type and adapter format every back-buffer check is made for.
class WatchingAdapter : public RecordingAdapter {
public:
    HResult checkDeviceType(uint32_t adapter, uint32_t type, uint32_t adapterFormat, uint32_t backBufferFormat,
                            bool windowed) const override {
        checks.push_back(std::to_string(type) + " " + std::to_string(adapterFormat));
        return RecordingAdapter::checkDeviceType(adapter, type, adapterFormat, backBufferFormat, windowed);
    }
    mutable std::vector<std::string> checks;
};

WatchingAdapter* g_next = nullptr;

std::unique_ptr<Adapter> takeWatching() {
    std::unique_ptr<Adapter> taken(g_next);
    g_next = nullptr;
    return taken;
}

class DisplaySetupChain : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        sys::setMessageBoxSink([](const char*, const char*, unsigned) {});
        g_next = m_adapter = new WatchingAdapter();
        m_adapter->adapters[0].desktop.format = FMT_R5G6B5;
        Adapter::setFactory(takeWatching);
        ASSERT_TRUE(m_device.enumerateAdapters("Error", "a", "b"));
    }
    void TearDown() override {
        Adapter::setFactory(nullptr);
        sys::setMessageBoxSink(nullptr);
        unsetenv("PLIMZOR_SETTINGS");
    }
    TempDir m_dir;
    WatchingAdapter* m_adapter = nullptr;
    RenderDevice m_device;
};

} // namespace

TEST_F(DisplaySetupChain, RunsEveryStepInOrderAndALaterChangeOnlyTheStepsAfterIt) {
    RecordingSetup setup(&m_device);
    EXPECT_TRUE(setup.run(0));
    // The format chosen is the one the display formats' correction left in the settings.
    EXPECT_EQ(setup.steps, (std::vector<std::string>{"formats", "select 22", "modes", "multisample", "depth",
                                                     "finished"}));
    EXPECT_FALSE(m_device.m_adapters[0].m_depthStencilFormats.empty());
    setup.steps.clear();
    setup.updateModes();
    EXPECT_EQ(setup.steps, (std::vector<std::string>{"modes", "multisample", "depth"}));
}

TEST_F(DisplaySetupChain, WindowUsesTheDesktopFormatAndTheReferenceFlagTheDeviceType) {
    DisplaySettings& s = *m_device.m_settings;
    s.m_windowed = 1;
    ::Setup(&m_device).run(0);
    ASSERT_FALSE(m_adapter->checks.empty());
    EXPECT_EQ(m_adapter->checks.back(), "1 " + std::to_string(FMT_R5G6B5));
    s.m_windowed = 0;
    s.m_referenceDevice = 1;
    ::Setup(&m_device).run(0);
    EXPECT_EQ(m_adapter->checks.back(), "2 " + std::to_string(s.m_displayFormat));
}

TEST_F(DisplaySetupChain, AdapterThatDoesNotExistFailsWithoutListing) {
    m_device.m_settings->m_adapter = 3;
    RecordingSetup setup(&m_device);
    EXPECT_FALSE(setup.run(0));
    EXPECT_TRUE(setup.steps.empty());
}
