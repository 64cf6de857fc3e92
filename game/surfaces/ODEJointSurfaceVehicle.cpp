#include "game/surfaces/ODEJointSurfaceVehicle.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceVehicle::react(const Contact& contact) {
    Vehicle* first = vehicleOf(contact.object[0]);
    Vehicle* second = vehicleOf(contact.object[1]);
    if (!first || !second) return;
    bump(first, second, contact, 0);
    bump(second, first, contact, 1);
}

void ODEJointSurfaceVehicle::bump(Vehicle* kart, Vehicle* other, const Contact& contact, int side) {
    VehicleMaster* master = kart->asMaster();
    if (!master) return;
    master->m_bumpPos = contact.pos;
    master->m_bumpNormal = contact.normalToward(side);
    master->m_bumpDepth = contact.depth;
    master->m_bumpOther = other;
}
