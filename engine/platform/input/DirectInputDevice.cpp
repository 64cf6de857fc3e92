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

bool DirectInputDevice::update() {
    m_mouseDX = m_mouseDY = m_mouseDZ = 0;
    DeviceRecord records[BUFFER_SIZE];
    if (m_mouse) {
        uint32_t count = BUFFER_SIZE;
        if (m_mouse->getDeviceData(records, count) != INPUT_OK) {
            reacquire(*m_mouse);
            return true;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const DeviceRecord& r = records[i];
            switch (r.offset) {
            case MOUSE_X: m_mouseDX += int32_t(r.data); break;
            case MOUSE_Y: m_mouseDY += int32_t(r.data); break;
            case MOUSE_Z: m_mouseDZ += int32_t(r.data); break;
            case MOUSE_BUTTON0: case MOUSE_BUTTON1: case MOUSE_BUTTON2:
                m_buttons[r.offset - MOUSE_BUTTON0] = (r.data & 0x80) ? 1 : 0;
                break;
            default: break;
            }
        }
        m_mouseX = std::min(std::max(m_mouseX + m_mouseDX, 0), m_screenWidth);
        m_mouseY = std::min(std::max(m_mouseY + m_mouseDY, 0), m_screenHeight);
    }
    if (m_keyboard) {
        uint32_t count = BUFFER_SIZE;
        if (m_keyboard->getDeviceData(records, count) != INPUT_OK) {
            reacquire(*m_keyboard);
            return true;
        }
        for (uint32_t i = 0; i < count; ++i) {
            m_keys[records[i].offset & 0xFF] = (records[i].data & 0x80) ? 1 : 0;
            m_lastKey = records[i].offset;
        }
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
