#include "game/surfaces/ODEJointSurfaceReset.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceReset::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_RESET)) kart->m_resetTouched = true;
}
