#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "engine/platform/input/DirectInputDevice.h"
#include "engine/platform/input/WindowInputDevice.h"
#include "sys/input/Joystick.h"
#include "sys/input/KeyCodes.h"
#include "sys/window/Window.h"

namespace {

class InputWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = sys::Window::create("input test", 0, 0, 64, 48, nullptr);
        if (!m_window) GTEST_SKIP() << "no display: window input tests need X (run under xvfb-run -a)";
        sys::pumpMessages();
    }
    void push(SDL_Event event) {
        SDL_PushEvent(&event);
        sys::pumpMessages();
    }
    void focus() {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = m_window->id();
        e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        push(e);
    }
    void key(SDL_Scancode code, bool down, bool repeat = false) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = m_window->id();
        e.key.keysym.scancode = code;
        e.key.repeat = repeat;
        push(e);
    }
    void motion(int dx, int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = m_window->id();
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        push(e);
    }
    void button(bool down) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = m_window->id();
        e.button.button = SDL_BUTTON_LEFT;
        push(e);
    }
    std::unique_ptr<sys::Window> m_window;
};

} // namespace

TEST(WindowInputDevice, MapsVirtualKeysToDirectInputCodes) {
    WindowInputDevice input;
    int mapped = 0;
    for (uint8_t code : input.m_virtualKeyMap) mapped += code != 0xFF;
    EXPECT_EQ(mapped, 117);
    EXPECT_EQ(input.m_virtualKeyMap[0x41], 0x1E);
    EXPECT_EQ(input.m_virtualKeyMap[0xE2], 0x56);
}

TEST(WindowInputDevice, ExtendedControlAndAltAreTheRightKeys) {
    WindowInputDevice input;
    auto* none = reinterpret_cast<sys::Window*>(&input);
    input.handleMessage(*none, sys::WM_KEYDOWN, 17, 1 << 24);
    EXPECT_EQ(input.m_keys[0x9D], 1);
    EXPECT_EQ(input.m_keys[0x1D], 0);
    input.handleMessage(*none, sys::WM_KEYDOWN, 17, 0);
    EXPECT_EQ(input.m_keys[0x1D], 1);
    input.handleMessage(*none, sys::WM_KEYDOWN, 18, 1 << 24);
    EXPECT_EQ(input.m_keys[0xB8], 1);
    input.update();
    input.handleMessage(*none, sys::WM_KEYUP, 17, 1 << 24);
    EXPECT_EQ(input.m_keys[0x9D], 0);
}

TEST(WindowInputDevice, AutoRepeatAndUnmappedKeys) {
    WindowInputDevice input;
    auto* none = reinterpret_cast<sys::Window*>(&input);
    input.handleMessage(*none, sys::WM_KEYDOWN, 0x41, 1 << 30);
    EXPECT_EQ(input.m_keys[0x1E], 0);
    input.handleMessage(*none, sys::WM_KEYDOWN, 0x07, 0);
    EXPECT_EQ(input.m_keys[255], 1);
    input.handleMessage(*none, sys::WM_CHAR, 'q', 0);
    EXPECT_EQ(input.m_lastKey, uint32_t('q'));
    input.reset();
    EXPECT_EQ(input.m_lastKey, 255u);
    EXPECT_EQ(input.m_keys[255], 0);
}

TEST(WindowInputDevice, WheelNotchesAndButtonsFromMessages) {
    WindowInputDevice input;
    auto* none = reinterpret_cast<sys::Window*>(&input);
    input.handleMessage(*none, sys::WM_MOUSEWHEEL, uintptr_t(uint16_t(-120)) << 16, 0);
    input.handleMessage(*none, sys::WM_MOUSEWHEEL, uintptr_t(120) << 16, 0);
    input.handleMessage(*none, sys::WM_MOUSEWHEEL, uintptr_t(120) << 16 | 0x10, 0);
    EXPECT_EQ(input.m_mouseDZ, 120);
    EXPECT_EQ(input.m_buttons[2], 1);
    input.update();
    EXPECT_EQ(input.m_mouseDZ, 0);
}

// Messages of one frame as the pump hands them over; the frame then reads the state.
class WindowInputFrames : public ::testing::Test {
protected:
    void send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
        m_input.handleMessage(*m_none, message, wParam, lParam);
    }
    void tap(uintptr_t virtualKey) {
        send(sys::WM_KEYDOWN, virtualKey);
        send(sys::WM_KEYUP, virtualKey, intptr_t(3u << 30));
    }
    // The frames, up to `frames`, that see the key down; each takes it as the GUI does.
    int framesPressed(uint8_t key, int frames) {
        int pressed = 0;
        for (int frame = 0; frame < frames; ++frame, m_input.update()) {
            pressed += m_input.m_keys[key];
            m_input.m_keys[key] = 0;
        }
        return pressed;
    }
    WindowInputDevice m_input;
    sys::Window* m_none = reinterpret_cast<sys::Window*>(&m_input);
};

TEST_F(WindowInputFrames, KeysPressedAndLetGoBetweenTwoFramesEachCountOnceAndAHeldKeyStaysHeld) {
    constexpr uint8_t BACKSPACE = 0x0E, W = 0x11;
    send(sys::WM_KEYDOWN, 'W');
    for (int i = 0; i < 3; ++i) tap(0x08);
    EXPECT_EQ(framesPressed(BACKSPACE, 3), 3) << "each tap in a frame of its own";
    EXPECT_EQ(m_input.m_keys[W], 1) << "held through every frame";
    send(sys::WM_KEYUP, 'W', intptr_t(3u << 30));
    EXPECT_EQ(m_input.m_keys[W], 0);
}

TEST_F(WindowInputFrames, AClickBetweenTwoFramesLandsWhereItWasMadeBeforeThePointerMovesOn) {
    send(sys::WM_MOUSEMOVE, 0, 50 << 16 | 100);
    send(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, 50 << 16 | 100);
    send(sys::WM_LBUTTONUP, 0, 50 << 16 | 100);
    send(sys::WM_LBUTTONDBLCLK, sys::MK_LBUTTON, 50 << 16 | 100);
    send(sys::WM_MOUSEMOVE, sys::MK_LBUTTON, 200 << 16 | 300);
    send(sys::WM_LBUTTONUP, 0, 200 << 16 | 300);
    const int expected[][3] = {{1, 100, 50}, {0, 100, 50}, {1, 100, 50}, {0, 300, 200}};
    for (const auto& frame : expected) {
        EXPECT_EQ(m_input.m_buttons[0], frame[0]);
        EXPECT_EQ(m_input.m_mouseX, frame[1]);
        EXPECT_EQ(m_input.m_mouseY, frame[2]);
        m_input.update();
    }
}

TEST_F(WindowInputFrames, AQueueFullOfPointerMovesStillHoldsEveryKeyChangeInItsPlace) {
    constexpr uint8_t BACKSPACE = 0x0E, W = 0x11;
    constexpr int MOVES = 5000, TAPS = 4;
    // W goes down, then a quick tap holds back all that follows, as behind a picture that takes nothing.
    send(sys::WM_KEYDOWN, 'W');
    tap(0x1B);
    auto point = [](int i) { return intptr_t((i % 700) << 16 | (i % 1000)); };
    for (int i = 1; i <= MOVES; ++i) {
        send(sys::WM_MOUSEMOVE, 0, point(i));
        if (i % (MOVES / (TAPS + 1)) == 0 && i < MOVES) tap(0x08);
        if (i == MOVES / 2) send(sys::WM_KEYUP, 'W', intptr_t(3u << 30));
    }
    // A frame for each tap; W is let go between the second and the third.
    std::vector<int> backspaces, held;
    for (int frame = 0; frame < TAPS + 2; ++frame, m_input.update()) {
        backspaces.push_back(m_input.m_keys[BACKSPACE]);
        m_input.m_keys[BACKSPACE] = 0;
        held.push_back(m_input.m_keys[W]);
    }
    EXPECT_EQ(backspaces, (std::vector<int>{0, 1, 1, 1, 1, 0}));
    EXPECT_EQ(held, (std::vector<int>{1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(m_input.m_mouseX, int(point(MOVES) & 0xFFFF));
    EXPECT_EQ(m_input.m_mouseY, int(point(MOVES) >> 16));
}

TEST(Joystick, AxesScaleToThousands) {
    EXPECT_EQ(sys::input::Joystick::scaleAxis(-32768), -1000);
    EXPECT_EQ(sys::input::Joystick::scaleAxis(32767), 1000);
    EXPECT_EQ(sys::input::Joystick::scaleAxis(0), 0);
}

TEST(KeyCodes, ScanCodesGiveDirectInputCodes) {
    EXPECT_EQ(sys::input::keyCodeFromScancode(SDL_SCANCODE_ESCAPE), 0x01);
    EXPECT_EQ(sys::input::keyCodeFromScancode(SDL_SCANCODE_A), 0x1E);
    EXPECT_EQ(sys::input::keyCodeFromScancode(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(sys::input::keyCodeFromScancode(SDL_SCANCODE_UP), 0xC8);
    EXPECT_TRUE(sys::input::isExtendedScancode(SDL_SCANCODE_RALT));
    EXPECT_FALSE(sys::input::isExtendedScancode(SDL_SCANCODE_LALT));
}

TEST_F(InputWindowFixture, PumpDeliversKeysWithRepeatAndExtendedBits) {
    WindowInputDevice input;
    m_window = sys::Window::create("input test", 0, 0, 64, 48,
                                   [&input](sys::Window& win, uint32_t m, uintptr_t wp, intptr_t lp) {
                                       return input.handleMessage(win, m, wp, lp);
                                   });
    key(SDL_SCANCODE_RCTRL, true);
    EXPECT_EQ(input.m_keys[0x9D], 1);
    key(SDL_SCANCODE_A, true);
    key(SDL_SCANCODE_A, false);
    EXPECT_EQ(input.m_keys[0x1E], 1) << "the frame sees the press";
    input.update();
    EXPECT_EQ(input.m_keys[0x1E], 0);
    key(SDL_SCANCODE_A, true, true);
    EXPECT_EQ(input.m_keys[0x1E], 0);
}

TEST_F(InputWindowFixture, DirectInputReadsBufferedEventsAndClampsTheCursor) {
    DirectInputDevice input(100, 80);
    focus();
    ASSERT_TRUE(input.init(*m_window));
    input.reset();
    key(SDL_SCANCODE_SPACE, true);
    motion(-30, 10);
    input.update();
    EXPECT_EQ(input.m_keys[0x39], 1);
    EXPECT_EQ(input.m_lastKey, 0x39u);
    EXPECT_EQ(input.m_mouseX, 0);
    EXPECT_EQ(input.m_mouseY, 10);
    motion(500, 500);
    input.update();
    EXPECT_EQ(input.m_mouseX, 100);
    EXPECT_EQ(input.m_mouseY, 80);
}

TEST_F(InputWindowFixture, DirectInputCountsEveryPressOfOneFrameAndLandsClicksWhereTheyWereMade) {
    DirectInputDevice input(100, 80);
    focus();
    ASSERT_TRUE(input.init(*m_window));
    input.reset();
    key(SDL_SCANCODE_W, true);
    for (int i = 0; i < 2; ++i) {
        key(SDL_SCANCODE_ESCAPE, true);
        key(SDL_SCANCODE_ESCAPE, false);
    }
    // Pushed into the corner and back out: the cursor ends where the system's pointer does.
    motion(-500, -500);
    motion(40, 30);
    button(true);
    button(false);
    motion(20, 20);
    int escapes = 0;
    const int expected[][3] = {{1, 40, 30}, {0, 40, 30}, {0, 60, 50}, {0, 60, 50}};
    for (const auto& frame : expected) {
        input.update();
        escapes += input.m_keys[0x01];
        input.m_keys[0x01] = 0;
        EXPECT_EQ(input.m_keys[0x11], 1) << "W held through every frame";
        EXPECT_EQ(input.m_buttons[0], frame[0]);
        EXPECT_EQ(input.m_mouseX, frame[1]);
        EXPECT_EQ(input.m_mouseY, frame[2]);
    }
    EXPECT_EQ(escapes, 2);
}

TEST_F(InputWindowFixture, DirectInputLetsGoOfAButtonWhoseReleaseCameBehindThousandsOfMotions) {
    constexpr int MOTIONS = 2000;
    DirectInputDevice input(100, 80);
    focus();
    ASSERT_TRUE(input.init(*m_window));
    input.reset();
    button(true);
    input.update();
    ASSERT_EQ(input.m_buttons[0], 1);
    // Nothing is read meanwhile, as behind a picture that takes nothing.
    for (int i = 0; i < MOTIONS; ++i) motion(1, 0);
    button(false);
    for (int i = 0; i < MOTIONS; ++i) motion(i % 2 ? 1 : -1, 1);
    for (int frame = 0; frame < 4 && input.m_buttons[0]; ++frame) input.update();
    EXPECT_EQ(input.m_buttons[0], 0);
    EXPECT_EQ(input.m_mouseY, 0) << "what came after the release waits for the next frame";
    input.update();
    EXPECT_EQ(input.m_mouseX, 100);
    EXPECT_EQ(input.m_mouseY, 80);
}

TEST_F(InputWindowFixture, DirectInputWithoutFocusGivesUpAfterBoundedRetries) {
    DirectInputDevice input(100, 80);
    ASSERT_TRUE(input.init(*m_window));
    key(SDL_SCANCODE_SPACE, true);
    EXPECT_TRUE(input.update());
    EXPECT_EQ(input.m_keys[0x39], 0);
}
