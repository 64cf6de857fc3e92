#pragma once
#include "game/surfaces/RaceSurface.h"

// A probe ray on ground: height, normal and the kind of ground under that ray.
class ODEJointSurfaceRay : public RaceSurface {
public:
    explicit ODEJointSurfaceRay(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
