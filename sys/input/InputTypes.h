#pragma once
#include <cstdint>

namespace sys::input {

// Results as the input code was written against.
constexpr int32_t INPUT_OK = 0;
constexpr int32_t INPUTERR_NOTACQUIRED = int32_t(0x8007000C);
constexpr int32_t INPUTERR_OTHERAPPHASPRIO = int32_t(0x8007001E);

// One buffered event: the key code or mouse field offset, and its data
// (bit 7 set for a pressed key or button; a signed delta for an axis).
struct DeviceRecord {
    uint32_t offset;
    uint32_t data;
};

enum MouseOffset : uint32_t { MOUSE_X = 0, MOUSE_Y = 4, MOUSE_Z = 8, MOUSE_BUTTON0 = 12, MOUSE_BUTTON1 = 13, MOUSE_BUTTON2 = 14 };

struct JoystickState {
    int32_t axes[6]; // X, Y, Z, Rx, Ry, Rz in -1000..1000
    uint8_t buttons[128];
};

constexpr uint32_t BUFFER_SIZE = 1023;

} // namespace sys::input
