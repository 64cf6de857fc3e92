#pragma once
#include "game/surfaces/RaceSurface.h"

// A wind zone: the kart's next free step drifts with it.
class ODEJointSurfaceWind : public RaceSurface {
public:
    explicit ODEJointSurfaceWind(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
