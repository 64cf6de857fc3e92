#pragma once
#include "game/surfaces/RaceSurface.h"

// The finish line: a kart touching it has crossed it, whoever drives it.
class ODEJointSurfaceCheck : public RaceSurface {
public:
    explicit ODEJointSurfaceCheck(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
