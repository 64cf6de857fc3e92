#include "game/surfaces/ODEJointSurfaceStampfer.h"

#include "game/karts/VehicleMaster.h"

void ODEJointSurfaceStampfer::react(const Contact& contact) {
    if (VehicleMaster* kart = masterBeside(contact, SURFACE_STAMPER)) kart->onStampfer();
}
