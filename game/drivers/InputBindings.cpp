#include "game/drivers/InputBindings.h"

#include <cstddef>

#include "engine/platform/Report.h"
#include "engine/platform/input/InputDevice.h"
#include "game/records/Config.h"

namespace {

constexpr int JOYSTICK_BUTTONS = sizeof InputDevice::m_joyButtons;

template <typename T, size_t N>
T entryOr0(const T (&table)[N], int index) {
    return index >= 0 && index < static_cast<int>(N) ? table[index] : T(0);
}

} // namespace

int isBindingPressed(const Config& config, const InputDevice* input, int slot) {
    if (!input || slot < 0 || slot >= Config::BINDINGS) return 0;
    int code = config.m_bindingCode[slot];
    switch (config.m_bindingKind[slot]) {
    case 0: return input->m_mouseDX;
    case 1: return input->m_mouseDY;
    case 2: return input->m_mouseDZ;
    case 3: return entryOr0(input->m_buttons, code);
    case Config::BINDING_KEY: return entryOr0(input->m_keys, code);
    case 5: return getJoystickAxis(input, JOY_X);
    case 6: return getJoystickAxis(input, JOY_Y);
    case 7: return getJoystickAxis(input, JOY_RZ);
    case 8: return getJoystickAxis(input, JOY_Z);
    case 9: return getJoystickButton(input, code);
    default: return 0;
    }
}

uint8_t getJoystickButton(const InputDevice* input, int n) {
    ENGINE_ASSERT(n < JOYSTICK_BUTTONS && "button<20");
    return input ? entryOr0(input->m_joyButtons, n) : 0;
}

int32_t getJoystickAxis(const InputDevice* input, JoystickAxis axis) {
    // The copy refilled each update, so a pad pulled out mid-race stops steering.
    return input ? input->m_joyAxesNow[axis] : 0;
}

bool isBindingHeld(const Config& config, int slot) { return isBindingPressed(config, g_input, slot) != 0; }

bool joystickLeft() { return getJoystickAxis(g_input, JOY_X) < 0; }

bool joystickRight() { return getJoystickAxis(g_input, JOY_X) > 0; }

bool joystickForward() { return getJoystickAxis(g_input, JOY_Y) < 0 || getJoystickButton(g_input, 1); }

bool joystickBack() { return getJoystickAxis(g_input, JOY_Y) > 0 || getJoystickButton(g_input, 2); }
