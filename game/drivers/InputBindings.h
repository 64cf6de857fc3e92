#pragma once
#include <cstdint>

class Config;
class InputDevice;

// Binding slots of the first player; the second player's are 7 further on.
enum BindingSlot {
    BIND_LEFT = 0,
    BIND_RIGHT = 1,
    BIND_ACCELERATE = 2,
    BIND_BRAKE = 3,
    BIND_ACTION = 5,
    BIND_EXTRA = 6,
    BIND_PLAYER2 = 7
};

// Joystick axes by their place in the device's axis copies.
enum JoystickAxis { JOY_X = 0, JOY_Y = 1, JOY_Z = 2, JOY_RZ = 5 };

// The raw input value the slot's binding reads; non-zero = pressed. A kind,
// code or slot that names nothing, or no device at all, is never pressed.
int isBindingPressed(const Config& config, const InputDevice* input, int slot);

// State byte of joystick button n (0 to 19); any other n is not pressed.
uint8_t getJoystickButton(const InputDevice* input, int n);

// The axis as the device read it this update, -1000 to 1000; 0 without a device.
int32_t getJoystickAxis(const InputDevice* input, JoystickAxis axis);

// What the drivers ask: the slot's binding pressed on the global device.
bool isBindingHeld(const Config& config, int slot);

// The pad on the global device as the first player's drivers read it: the
// stick's signed axes, and buttons 1 and 2 for throttle and brake.
bool joystickLeft();
bool joystickRight();
bool joystickForward();
bool joystickBack();
