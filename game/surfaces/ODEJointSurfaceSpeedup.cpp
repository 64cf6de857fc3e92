#include "game/surfaces/ODEJointSurfaceSpeedup.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceSpeedup::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_SPEEDUP))
        kart->onSpeedup(contact.object[contact.sideOf(SURFACE_SPEEDUP)]);
}
