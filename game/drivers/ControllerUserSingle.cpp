#include "game/drivers/ControllerUserSingle.h"

#include "engine/platform/input/InputDevice.h"
#include "game/drivers/InputBindings.h"

namespace {

// Either player's binding of the slot.
bool eitherHeld(const Config& config, int slot) {
    return isBindingHeld(config, slot) || isBindingHeld(config, slot + BIND_PLAYER2);
}

} // namespace

int ControllerUserSingle::steerLeft() { return eitherHeld(*m_config, BIND_LEFT) || joystickLeft(); }

int ControllerUserSingle::steerRight() { return eitherHeld(*m_config, BIND_RIGHT) || joystickRight(); }

int ControllerUserSingle::accelerate() { return eitherHeld(*m_config, BIND_ACCELERATE) || joystickForward(); }

int ControllerUserSingle::brake() { return eitherHeld(*m_config, BIND_BRAKE) || joystickBack(); }

bool ControllerUserSingle::action() { return isBindingHeld(*m_config, BIND_ACTION); }

bool ControllerUserSingle::useExtra() { return isBindingHeld(*m_config, BIND_EXTRA) || getJoystickButton(g_input, 0); }
