#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "app/program/FrameLoop.h"
#include "app/program/LoopPhase.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "sys/gfx/Device.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/WindowedDevice.h"

namespace {

// A phase that counts what the pump asks of it; each turn first runs the test's step.
class ScriptedPhase : public LoopPhase {
public:
    std::function<bool(int turn)> step;
    mutable int turns = 0;
    int frames = 0;
    int pauses = 0;
    int resumes = 0;
    int framesBeforeResume = -1;

    FrameBudget::Phase kind() const override { return FrameBudget::MENU; }
    bool running() const override { return step(++turns); }
    bool frame(InputDevice&) override {
        ++frames;
        return true;
    }
    MetaScene* scene() const override { return nullptr; }
    GuiContext* gui() const override { return nullptr; }
    void pause() override { ++pauses; }
    void resume() override {
        if (resumes++ == 0) framesBeforeResume = frames;
    }
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
        m_device = makeWindowedDevice(320, 240);
        ASSERT_TRUE(m_device);
        m_renderer = std::make_unique<SceneRenderer>(*m_device);
        g_input = &m_input;
    }
    void TearDown() override { g_input = nullptr; }

    sys::Window& window() { return *m_device->m_groups[0]->m_windows[0]; }

    InputDevice m_input;
    std::unique_ptr<RenderDevice> m_device;
    std::unique_ptr<Renderer> m_renderer;
    FrameBudget m_budget;
};

TEST_F(FrameLoopTest, HiddenWindowStopsTheFramesAndItsReturnResetsTheDeviceBeforeTheSoundsResume) {
    FrameLoop loop(*m_device, *m_renderer, m_budget);
    ScriptedPhase phase;
    phase.step = [&](int turn) {
        if (turn == 4) window().show(false);
        if (turn == 7) window().show(true);
        return turn <= 10;
    };
    loop.run(phase);
    EXPECT_EQ(phase.framesBeforeResume, 3);
    EXPECT_GE(phase.pauses, 3);
    EXPECT_EQ(phase.resumes, 1);
    EXPECT_GE(phase.frames, 5);
    EXPECT_EQ(m_budget.frames(), phase.frames);
    EXPECT_EQ(m_renderer->m_currentDevice->testCooperativeLevel(), sys::gfx::GFX_OK);
    EXPECT_TRUE(loop.ok());
    EXPECT_FALSE(loop.quitSeen());
}

TEST_F(FrameLoopTest, FullScreenDeviceIsLostWhileAnotherWindowHasTheFocusAndWantsAResetOnItsReturn) {
    m_renderer->m_screenWidth = 320;
    m_renderer->m_screenHeight = 240;
    m_renderer->m_windowed = false;
    m_renderer->m_displayChanged = true;
    FrameLoop loop(*m_device, *m_renderer, m_budget);
    ScriptedPhase phase;
    phase.step = [](int turn) { return turn == 1; };
    loop.run(phase);
    // The focus is played here rather than pumped: other tests' windows may come and go on the display.
    sys::gfx::Device& device = *m_renderer->m_currentDevice;
    window().setFocus(true);
    m_device->resizeWindows();
    EXPECT_EQ(device.testCooperativeLevel(), sys::gfx::GFX_OK);
    window().setFocus(false);
    EXPECT_EQ(device.testCooperativeLevel(), sys::gfx::GFXERR_DEVICELOST);
    EXPECT_EQ(device.present(), sys::gfx::GFXERR_DEVICELOST);
    window().setFocus(true);
    EXPECT_EQ(device.testCooperativeLevel(), sys::gfx::GFXERR_DEVICENOTRESET);
    m_device->resizeWindows();
    EXPECT_EQ(device.testCooperativeLevel(), sys::gfx::GFX_OK);
}

TEST_F(FrameLoopTest, DisplayChangeTakesEffectBeforeTheNextFrameInFullScreenAndBackInAWindow) {
    FrameLoop loop(*m_device, *m_renderer, m_budget);
    m_renderer->m_screenWidth = 640;
    m_renderer->m_screenHeight = 480;
    m_renderer->m_windowed = false;
    m_renderer->m_displayChanged = true;
    ScriptedPhase phase;
    phase.step = [](int turn) { return turn == 1; };
    loop.run(phase);
    EXPECT_FALSE(m_renderer->m_displayChanged);
    EXPECT_EQ(phase.frames, 1);
    EXPECT_EQ(m_device->m_settings->m_width, 640u);
    EXPECT_EQ(m_device->m_settings->m_windowed, 0);
    EXPECT_EQ(m_device->m_groups[0]->m_presentParams[0].backBufferWidth, 640u);
    EXPECT_EQ(m_renderer->m_backBufferHeight, 480);
    // The window covers the display, in that mode or scaled into the desktop's with its aspect kept.
    EXPECT_TRUE(window().isFullScreen());
    int width = 0, height = 0;
    window().getClientSize(width, height);
    EXPECT_GE(width, 640);
    EXPECT_GE(height, 480);
    const sys::Window::Area shown = window().pictureArea();
    EXPECT_LE(std::abs(shown.width * 480 - shown.height * 640), 640);
    EXPECT_TRUE(shown.width == width || shown.height == height);

    m_renderer->m_screenWidth = 320;
    m_renderer->m_screenHeight = 240;
    m_renderer->m_windowed = true;
    m_renderer->m_displayChanged = true;
    phase.turns = 0;
    loop.run(phase);
    EXPECT_FALSE(window().isFullScreen());
    sys::pumpMessages();
    window().getClientSize(width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
}

TEST_F(FrameLoopTest, SpentFrameBudgetEndsTheLoopAsAQuit) {
    FrameBudget budget(4);
    FrameLoop loop(*m_device, *m_renderer, budget);
    ScriptedPhase phase;
    phase.step = [](int turn) { return turn < 100; };
    loop.run(phase);
    EXPECT_EQ(phase.frames, 4);
    EXPECT_TRUE(loop.quitSeen());
}

TEST(FrameBudgetFromEnvironment, ANumberThatCountsNoFramesIsLoggedAndMeansNoLimit) {
    for (const char* text : {"-1", "0", "abc", "12x"}) {
        setenv("PLIMZOR_FRAMES", text, 1);
        LogCapture log;
        EXPECT_FALSE(FrameBudget::fromEnvironment().limited()) << text;
        EXPECT_NE(log.text().find(std::string("PLIMZOR_FRAMES \"") + text + "\" is no count of frames"),
                  std::string::npos)
            << log.text();
    }
    setenv("PLIMZOR_FRAMES", "120", 1);
    LogCapture log;
    EXPECT_EQ(FrameBudget::fromEnvironment().seconds(), 2.0);
    EXPECT_EQ(log.text(), "");
    unsetenv("PLIMZOR_FRAMES");
}

} // namespace
