#include "game/surfaces/ODEJointSurfaceExtra.h"

#include "game/karts/Vehicle.h"

void ODEJointSurfaceExtra::react(const Contact& contact) {
    const int pickUp = contact.sideOf(SURFACE_PICKUP);
    if (Vehicle* kart = vehicleOf(contact.object[1 - pickUp])) kart->pickUpExtra(contact.object[pickUp]);
}
