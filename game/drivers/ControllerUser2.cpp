#include "game/drivers/ControllerUser2.h"

#include "game/drivers/InputBindings.h"

int ControllerUser2::steerLeft() { return isBindingHeld(*m_config, BIND_PLAYER2 + BIND_LEFT); }

int ControllerUser2::steerRight() { return isBindingHeld(*m_config, BIND_PLAYER2 + BIND_RIGHT); }

int ControllerUser2::accelerate() { return isBindingHeld(*m_config, BIND_PLAYER2 + BIND_ACCELERATE); }

int ControllerUser2::brake() { return isBindingHeld(*m_config, BIND_PLAYER2 + BIND_BRAKE); }

bool ControllerUser2::action() { return isBindingHeld(*m_config, BIND_PLAYER2 + BIND_ACTION); }

bool ControllerUser2::useExtra() { return isBindingHeld(*m_config, BIND_PLAYER2 + BIND_EXTRA); }
