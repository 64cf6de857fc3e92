#pragma once
#include "game/surfaces/RaceSurface.h"

// A pick-up: every kart draws its extra here, the remote ones too, so all machines agree.
class ODEJointSurfaceExtra : public RaceSurface {
public:
    explicit ODEJointSurfaceExtra(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
