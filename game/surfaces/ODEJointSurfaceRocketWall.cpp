#include "game/surfaces/ODEJointSurfaceRocketWall.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceRocketWall::react(const Contact& contact) {
    if (VehicleMaster* kart = masterOf(contact.object[contact.sideOf(SURFACE_ROCKET)]))
        kart->startExplosion(contact.pos);
}
