#pragma once
#include "game/surfaces/RaceSurface.h"

// A conveyor belt carrying a kart along.
class ODEJointSurfaceBand : public RaceSurface {
public:
    explicit ODEJointSurfaceBand(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
