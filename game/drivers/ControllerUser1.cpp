#include "game/drivers/ControllerUser1.h"

#include "engine/platform/input/InputDevice.h"
#include "game/drivers/InputBindings.h"

int ControllerUser1::steerLeft() { return isBindingHeld(*m_config, BIND_LEFT) || joystickLeft(); }

int ControllerUser1::steerRight() { return isBindingHeld(*m_config, BIND_RIGHT) || joystickRight(); }

int ControllerUser1::accelerate() { return isBindingHeld(*m_config, BIND_ACCELERATE) || joystickForward(); }

int ControllerUser1::brake() { return isBindingHeld(*m_config, BIND_BRAKE) || joystickBack(); }

bool ControllerUser1::action() { return isBindingHeld(*m_config, BIND_ACTION) || getJoystickButton(g_input, 0); }

bool ControllerUser1::useExtra() { return isBindingHeld(*m_config, BIND_EXTRA); }
