#pragma once
#include "game/surfaces/RaceSurface.h"

// A probe ray over a fall zone: its ground is recorded and the ray marked as over the drop.
class ODEJointSurfaceFall : public RaceSurface {
public:
    explicit ODEJointSurfaceFall(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
