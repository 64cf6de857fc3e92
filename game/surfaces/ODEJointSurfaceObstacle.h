#pragma once
#include "game/surfaces/RaceSurface.h"

// A kart against a movable obstacle; the kart pushes it away along the normal.
class ODEJointSurfaceObstacle : public RaceSurface {
public:
    explicit ODEJointSurfaceObstacle(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
