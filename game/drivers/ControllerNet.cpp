#include "game/drivers/ControllerNet.h"

int ControllerNet::steerLeft() { return m_left; }

int ControllerNet::steerRight() { return m_right; }

int ControllerNet::accelerate() { return m_accelerate; }

int ControllerNet::brake() { return m_brake; }

bool ControllerNet::action() { return m_action; }

bool ControllerNet::useExtra() { return m_useExtra; }

bool ControllerNet::isRemote() const { return true; }
