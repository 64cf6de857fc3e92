#pragma once
#include "game/surfaces/RaceSurface.h"

// Slippery ground under a kart.
class ODEJointSurfaceRutsch : public RaceSurface {
public:
    explicit ODEJointSurfaceRutsch(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
