#pragma once
#include <cstdint>

namespace sys {
class Window;
}

// Keyboard, mouse and game-controller state, keys by DirectInput key code.
class InputDevice {
public:
    InputDevice() { InputDevice::reset(); }
    virtual ~InputDevice() = default;

    virtual bool init(sys::Window& window) { return true; }
    // Clears every state field and sets the last key to 255.
    virtual void reset();
    virtual intptr_t handleMessage(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    virtual bool update();
    virtual void setScreenSize(int32_t width, int32_t height) {}

    int32_t m_mouseDX, m_mouseDY, m_mouseDZ;
    int32_t m_mouseX, m_mouseY;
    uint8_t m_buttons[3];
    uint8_t m_keys[256];
    uint32_t m_lastKey;
    int32_t m_joyAxes[6];
    int32_t m_joyAxesNow[6];
    uint8_t m_joyButtons[20];
    // Set while an in-race window or the menu takes the input, so the karts ignore it.
    uint8_t m_guiInput;
};

extern InputDevice* g_input;
