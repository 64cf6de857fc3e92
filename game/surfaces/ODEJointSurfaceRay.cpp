#include "game/surfaces/ODEJointSurfaceRay.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceRay::react(const Contact& contact) {
    int ray = 0;
    VehicleMaster* kart = recordGround(contact, ray);
    if (kart) kart->m_raySurface[ray] = contact.object[1 - contact.sideOf(SURFACE_RAY)]->m_surfaceKind;
}
