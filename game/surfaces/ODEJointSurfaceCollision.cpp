#include "game/surfaces/ODEJointSurfaceCollision.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceCollision::react(const Contact& contact) {
    const int side = contact.sideOf(SURFACE_KART);
    VehicleMaster* kart = masterOf(contact.object[side]);
    if (!kart) return;
    kart->m_wallPos = contact.pos;
    kart->m_wallNormal = contact.normalToward(side);
    kart->m_wallDepth = contact.depth;
}
