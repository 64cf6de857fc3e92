#include "game/surfaces/ODEJointSurfaceCheck.h"

#include "game/karts/Vehicle.h"

void ODEJointSurfaceCheck::react(const Contact& contact) {
    Vehicle* kart = vehicleOf(contact.object[contact.sideOf(SURFACE_KART)]);
    if (!kart) return;
    kart->m_crossedLine = true;
    kart->m_sectorMask |= 1u;
}
