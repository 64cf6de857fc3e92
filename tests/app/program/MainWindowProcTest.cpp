#include <gtest/gtest.h>

#include <SDL.h>

#include "app/program/MainWindowProc.h"
#include "engine/platform/input/InputDevice.h"
#include "sys/window/Window.h"

namespace {

class CountingInput : public InputDevice {
public:
    void reset() override {
        InputDevice::reset();
        ++resets;
    }
    intptr_t handleMessage(sys::Window&, uint32_t message, uintptr_t, intptr_t) override {
        messages.push_back(message);
        return 42;
    }
    int resets = 0;
    std::vector<uint32_t> messages;
};

class MainWindowProcedure : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = sys::Window::create("procedure test", 0, 0, 64, 48, mainWindowProc);
        if (!m_window) GTEST_SKIP() << "no display: the window procedure tests need X (run under xvfb-run -a)";
        sys::pumpMessages();
        g_appActive = true;
    }
    void TearDown() override {
        g_input = nullptr;
        g_appActive = true;
    }
    // Through SDL and the pump, as the window system reports it.
    void windowEvent(SDL_WindowEventID id) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = m_window->id();
        e.window.event = id;
        SDL_PushEvent(&e);
        sys::pumpMessages();
    }
    std::unique_ptr<sys::Window> m_window;
    CountingInput m_input;
};

} // namespace

TEST_F(MainWindowProcedure, MinimisingStopsTheFramesAndRestoringResetsTheInput) {
    g_input = &m_input;
    int resets = m_input.resets;
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(g_appActive) << "losing the focus alone keeps the frames going";
    windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_FALSE(g_appActive);
    windowEvent(SDL_WINDOWEVENT_RESTORED);
    EXPECT_TRUE(g_appActive);
    EXPECT_EQ(m_input.resets, resets + 1);
    m_input.m_keys[1] = 1;
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(m_input.m_keys[1], 0) << "a key held when the window came back is forgotten";

    // Activation that arrives minimised leaves the frames stopped.
    EXPECT_EQ(mainWindowProc(*m_window, sys::WM_ACTIVATE, sys::WA_ACTIVE | 1 << 16, 0), 0);
    EXPECT_FALSE(g_appActive);
    // Other messages belong to the input device.
    EXPECT_EQ(mainWindowProc(*m_window, sys::WM_KEYDOWN, 0x41, 0), 42);
    EXPECT_EQ(m_input.messages.back(), uint32_t(sys::WM_KEYDOWN));
}

TEST_F(MainWindowProcedure, WithoutAnInputDeviceMessagesGoToTheDefaultAndActivationStillCounts) {
    g_input = nullptr;
    EXPECT_EQ(mainWindowProc(*m_window, sys::WM_KEYDOWN, 0x41, 0), 0);
    EXPECT_EQ(mainWindowProc(*m_window, sys::WM_SIZE, sys::SIZE_MINIMIZED, 0), 0);
    EXPECT_FALSE(g_appActive);
    EXPECT_EQ(mainWindowProc(*m_window, sys::WM_ACTIVATE, sys::WA_ACTIVE, 0), 0);
    EXPECT_TRUE(g_appActive);
    EXPECT_TRUE(m_input.messages.empty());
}

TEST_F(MainWindowProcedure, ClosingTheWindowEndsTheLoopsOnce) {
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_FALSE(sys::pumpMessages()) << "the quit posted while pumping comes with the next pump";
    EXPECT_TRUE(sys::pumpMessages());
    mainWindowProc(*m_window, sys::WM_CLOSE, 0, 0);
    mainWindowProc(*m_window, sys::WM_CLOSE, 0, 0);
    EXPECT_FALSE(sys::pumpMessages());
    EXPECT_TRUE(sys::pumpMessages()) << "a second quit would end the next loop at once";
}
