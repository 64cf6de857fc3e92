#pragma once
#include "engine/platform/input/InputDevice.h"

// Windowed input: the window's own key and mouse messages.
class WindowInputDevice : public InputDevice {
public:
    WindowInputDevice();
    ~WindowInputDevice() override;

    bool init(sys::Window& window) override;
    intptr_t handleMessage(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    static constexpr uint32_t CURSOR_TIMER = 57005;
    static void cursorCentreTimer(sys::Window& window, uint32_t id);

    uint8_t m_virtualKeyMap[256];
    sys::Window* m_window = nullptr;
};

extern bool g_mouseTracking;
