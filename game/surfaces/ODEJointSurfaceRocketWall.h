#pragma once
#include "game/surfaces/RaceSurface.h"

// A flying rocket meets the track: the machine that fired it sets off the explosion.
class ODEJointSurfaceRocketWall : public RaceSurface {
public:
    explicit ODEJointSurfaceRocketWall(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
