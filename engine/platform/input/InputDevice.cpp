#include "engine/platform/input/InputDevice.h"

#include <cstring>

#include "sys/window/Window.h"

InputDevice* g_input = nullptr;

void InputDevice::reset() {
    m_mouseDX = m_mouseDY = m_mouseDZ = 0;
    m_mouseX = m_mouseY = 0;
    std::memset(m_buttons, 0, sizeof m_buttons);
    std::memset(m_keys, 0, sizeof m_keys);
    m_lastKey = 255;
    std::memset(m_joyAxes, 0, sizeof m_joyAxes);
    std::memset(m_joyAxesNow, 0, sizeof m_joyAxesNow);
    std::memset(m_joyButtons, 0, sizeof m_joyButtons);
    m_guiInput = 0;
}

intptr_t InputDevice::handleMessage(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return sys::Window::defaultProc(window, message, wParam, lParam);
}

bool InputDevice::update() {
    m_mouseDX = m_mouseDY = m_mouseDZ = 0;
    return true;
}
