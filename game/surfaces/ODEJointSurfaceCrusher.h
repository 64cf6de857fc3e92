#pragma once
#include "game/surfaces/RaceSurface.h"

// A crusher closing on a kart.
class ODEJointSurfaceCrusher : public RaceSurface {
public:
    explicit ODEJointSurfaceCrusher(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
