#include "game/surfaces/ODEJointSurfaceWind.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceWind::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_WIND))
        kart->m_windObject = contact.object[contact.sideOf(SURFACE_WIND)];
}
