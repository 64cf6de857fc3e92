#include "game/surfaces/ODEJointSurfaceCrusher.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceCrusher::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_CRUSHER)) kart->onCrusher();
}
