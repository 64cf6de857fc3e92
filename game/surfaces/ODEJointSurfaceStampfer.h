#pragma once
#include "game/surfaces/RaceSurface.h"

// A stamper coming down on a kart.
class ODEJointSurfaceStampfer : public RaceSurface {
public:
    explicit ODEJointSurfaceStampfer(Race* race) : RaceSurface(race) {}

private:
    void react(const Contact& contact) override;
};
