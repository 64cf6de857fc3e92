#pragma once
#include <memory>

#include "sys/input/InputTypes.h"

namespace sys::input {

// The first attached game controller, axes scaled to -1000..1000.
class Joystick {
public:
    // Null when no controller is attached.
    static std::unique_ptr<Joystick> openFirst();
    ~Joystick();
    Joystick(const Joystick&) = delete;
    Joystick& operator=(const Joystick&) = delete;

    int32_t acquire() { return INPUT_OK; }
    // Fails once the controller was pulled out.
    int32_t poll();
    int32_t getState(JoystickState& state) const;
    static int32_t scaleAxis(int16_t raw);

private:
    explicit Joystick(void* handle) : m_handle(handle) {}
    void* m_handle;
};

} // namespace sys::input
