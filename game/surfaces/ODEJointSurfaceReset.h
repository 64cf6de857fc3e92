#pragma once
#include "game/surfaces/RaceSurface.h"

// A reset zone puts the kart back on the track, at its next update: no body may
// move while the spaces are being collided.
class ODEJointSurfaceReset : public RaceSurface {
public:
    explicit ODEJointSurfaceReset(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
