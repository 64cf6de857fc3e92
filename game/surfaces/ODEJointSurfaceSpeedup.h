#pragma once
#include "game/surfaces/RaceSurface.h"

// A speed-up pad.
class ODEJointSurfaceSpeedup : public RaceSurface {
public:
    explicit ODEJointSurfaceSpeedup(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
