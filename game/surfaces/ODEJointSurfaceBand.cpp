#include "game/surfaces/ODEJointSurfaceBand.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceBand::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_BELT))
        kart->m_beltObject = contact.object[contact.sideOf(SURFACE_BELT)];
}
