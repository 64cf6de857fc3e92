#pragma once
#include "game/surfaces/RaceSurface.h"

// Two karts bumping: each simulated one learns the contact, its normal pointing toward itself.
class ODEJointSurfaceVehicle : public RaceSurface {
public:
    explicit ODEJointSurfaceVehicle(Race* race) : RaceSurface(race, 16) {}

private:
    void react(const Contact& contact) override;
    // One kart's side of the bump, written only when this machine simulates it.
    static void bump(Vehicle* kart, Vehicle* other, const Contact& contact, int side);
};
