#include "game/surfaces/ODEJointSurfaceFall.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceFall::react(const Contact& contact) {
    int ray = 0;
    VehicleMaster* kart = recordGround(contact, ray);
    if (kart) kart->m_rayOverFall[ray] = true;
}
