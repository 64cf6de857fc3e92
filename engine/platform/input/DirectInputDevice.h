#pragma once
#include <deque>
#include <memory>

#include "engine/platform/input/InputDevice.h"
#include "engine/platform/input/InputGate.h"
#include "sys/input/InputTypes.h"

namespace sys::input {
class BufferedDevice;
class Joystick;
}

// Full-screen input: buffered keyboard and mouse events and a polled controller.
class DirectInputDevice : public InputDevice {
public:
    DirectInputDevice(int32_t screenWidth, int32_t screenHeight);
    ~DirectInputDevice() override;

    bool init(sys::Window& window) override;
    void reset() override;
    bool update() override;
    void setScreenSize(int32_t width, int32_t height) override;

    // Acquire is retried at most this often in one update while another program holds the input.
    static constexpr int MAX_ACQUIRE_ATTEMPTS = 8;

    std::unique_ptr<sys::input::BufferedDevice> m_mouse;
    std::unique_ptr<sys::input::BufferedDevice> m_keyboard;
    int32_t m_screenWidth, m_screenHeight;

private:
    using Records = std::deque<sys::input::DeviceRecord>;
    template <typename Device>
    static void reacquire(Device& device);
    // Adds what the device buffered to what waits; false once it could not be read.
    static bool read(sys::input::BufferedDevice& device, Records& waiting);
    void applyMouse();
    void applyKeyboard();

    // Records read but held back by the gates for a later frame.
    Records m_mouseWaiting, m_keyboardWaiting;
    InputGate m_mouseGate, m_keyboardGate;
};

// The controller opened by the DirectInput kind, or null.
extern sys::input::Joystick* g_joystick;
