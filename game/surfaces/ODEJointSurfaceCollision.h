#pragma once
#include "game/surfaces/RaceSurface.h"

// A kart against the track's walls; the kart resolves the last contact of the step.
class ODEJointSurfaceCollision : public RaceSurface {
public:
    explicit ODEJointSurfaceCollision(Race* race) : RaceSurface(race, 16) {}

private:
    void react(const Contact& contact) override;
};
