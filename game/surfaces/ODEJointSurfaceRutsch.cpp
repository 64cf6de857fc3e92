#include "game/surfaces/ODEJointSurfaceRutsch.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceRutsch::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_SLIPPERY)) kart->m_slippery = true;
}
