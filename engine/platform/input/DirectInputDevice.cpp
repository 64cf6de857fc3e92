#include "engine/platform/input/DirectInputDevice.h"

#include <algorithm>

#include "sys/input/BufferedDevice.h"
#include "sys/input/Joystick.h"

using namespace sys::input;

Joystick* g_joystick = nullptr;

DirectInputDevice::DirectInputDevice(int32_t screenWidth, int32_t screenHeight)
    : m_screenWidth(screenWidth), m_screenHeight(screenHeight) {
    g_joystick = nullptr;
}

DirectInputDevice::~DirectInputDevice() {
    m_mouse.reset();
    m_keyboard.reset();
    delete g_joystick;
    g_joystick = nullptr;
}

bool DirectInputDevice::init(sys::Window& window) {
    m_mouse = BufferedDevice::create(BufferedDevice::MOUSE, window);
    m_keyboard = BufferedDevice::create(BufferedDevice::KEYBOARD, window);
    g_joystick = Joystick::openFirst().release();
    if (g_joystick) g_joystick->acquire();
    m_mouse->acquire();
    m_keyboard->acquire();
    return true;
}

void DirectInputDevice::reset() {
    if (m_mouse) m_mouse->acquire();
    if (m_keyboard) m_keyboard->acquire();
    if (g_joystick) g_joystick->acquire();
    // What waited came before the window was left.
    m_mouseWaiting.clear();
    m_keyboardWaiting.clear();
    InputDevice::reset();
}

void DirectInputDevice::setScreenSize(int32_t width, int32_t height) {
    m_screenWidth = width;
    m_screenHeight = height;
}

template <typename Device>
void DirectInputDevice::reacquire(Device& device) {
    for (int i = 0; i < MAX_ACQUIRE_ATTEMPTS && device.acquire() == INPUTERR_OTHERAPPHASPRIO; ++i) {
    }
}

bool DirectInputDevice::read(BufferedDevice& device, Records& waiting) {
    DeviceRecord records[BUFFER_SIZE];
    // What waits already leaves the rest in the device's own buffer.
    uint32_t count = BUFFER_SIZE - uint32_t(std::min<size_t>(waiting.size(), BUFFER_SIZE));
    if (device.getDeviceData(records, count) != INPUT_OK) {
        reacquire(device);
        return false;
    }
    waiting.insert(waiting.end(), records, records + count);
    return true;
}

void DirectInputDevice::applyMouse() {
    for (m_mouseGate.open(); m_mouseGate.isOpen() && !m_mouseWaiting.empty(); m_mouseWaiting.pop_front()) {
        const DeviceRecord& r = m_mouseWaiting.front();
        const int32_t delta = int32_t(r.data);
        switch (r.offset) {
        // Held inside the screen step by step, as the system's pointer is.
        case MOUSE_X:
            m_mouseDX += delta;
            m_mouseX = std::min(std::max(m_mouseX + delta, 0), m_screenWidth);
            break;
        case MOUSE_Y:
            m_mouseDY += delta;
            m_mouseY = std::min(std::max(m_mouseY + delta, 0), m_screenHeight);
            break;
        case MOUSE_Z: m_mouseDZ += delta; break;
        case MOUSE_BUTTON0: case MOUSE_BUTTON1: case MOUSE_BUTTON2: {
            uint8_t& button = m_buttons[r.offset - MOUSE_BUTTON0];
            const uint8_t down = (r.data & 0x80) ? 1 : 0;
            if (button == down) break;
            button = down;
            m_mouseGate.closeBehindButton();
            break;
        }
        default: break;
        }
    }
}

void DirectInputDevice::applyKeyboard() {
    for (m_keyboardGate.open(); !m_keyboardWaiting.empty(); m_keyboardWaiting.pop_front()) {
        const DeviceRecord& r = m_keyboardWaiting.front();
        const bool down = (r.data & 0x80) != 0;
        if (!m_keyboardGate.passKey(r.offset, down)) return;
        m_keys[r.offset & 0xFF] = down ? 1 : 0;
        m_lastKey = r.offset;
    }
}

bool DirectInputDevice::update() {
    m_mouseDX = m_mouseDY = m_mouseDZ = 0;
    if (m_mouse) {
        if (!read(*m_mouse, m_mouseWaiting)) return true;
        applyMouse();
    }
    if (m_keyboard) {
        if (!read(*m_keyboard, m_keyboardWaiting)) return true;
        applyKeyboard();
    }
    if (g_joystick) {
        std::fill(std::begin(m_joyAxesNow), std::end(m_joyAxesNow), 0);
        if (g_joystick->poll() != INPUT_OK) {
            reacquire(*g_joystick);
            return true;
        }
        JoystickState state;
        if (g_joystick->getState(state) != INPUT_OK) return false;
        for (int i = 0; i < 6; ++i) {
            m_joyAxes[i] = state.axes[i];
            m_joyAxesNow[i] += state.axes[i];
        }
        for (int i = 0; i < 20; ++i) m_joyButtons[i] = state.buttons[i] != 0;
    }
    return true;
}
